// Module state: which module's resources and application object the framework works with on
// this thread. Code that a host calls switches to its own module's state with ModuleStateGuard
// and gets the previous one back on every way out.
#pragma once

#include <windows.h>

class CWinApp;

struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
    HINSTANCE m_hCurrentResourceHandle = nullptr;
    CWinApp* m_pCurrentWinApp = nullptr;
};

// The state current on this thread: the process's own until a module switches to its state.
AFX_MODULE_STATE* AfxGetModuleState();
// The state of the module this code is linked into.
AFX_MODULE_STATE* AfxGetStaticModuleState();

HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
CWinApp* AfxGetApp();

class ModuleStateGuard {
public:
    explicit ModuleStateGuard(AFX_MODULE_STATE* state = AfxGetStaticModuleState());
    ~ModuleStateGuard();
    ModuleStateGuard(const ModuleStateGuard&) = delete;
    ModuleStateGuard& operator=(const ModuleStateGuard&) = delete;

private:
    AFX_MODULE_STATE* m_previous;
};
