// CAddInApp: the DLL's application object; its start-up and shut-down set up and tear down the module.
#pragma once

#include "afx/WinApp.h"

class CAddInApp final : public CWinApp {
public:
    CAddInApp() : CWinApp(nullptr) {}
    BOOL InitInstance() override;
    int ExitInstance() override;
};

// Set by DllMain before the shut-down: the process is ending rather than unloading the DLL.
void SetProcessTerminating(bool terminating);
