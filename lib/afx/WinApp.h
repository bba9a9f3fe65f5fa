// The application object of a DLL, its start-up and the thread's main window lookup.
#pragma once

#include <windows.h>

#include "afx/ModuleState.h"

class CWnd {
public:
    HWND m_hWnd = nullptr;
};

class CWinThread {
public:
    CWnd* m_pMainWnd = nullptr;
    // The main window, or else the thread's active window; null when there is neither.
    CWnd* GetMainWnd();
};

class CWinApp : public CWinThread {
public:
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    const char* m_pszAppName;
    HINSTANCE m_hInstance = nullptr;
};

CWinThread* AfxGetThread();
CWnd* AfxGetMainWnd();

// Start-up and shutdown of a DLL's application object; called from the DLL's DllMain.
BOOL AfxDllProcessAttach(HINSTANCE instance);
void AfxDllProcessDetach();

// The framework holds no COM objects of its own, so it never keeps the DLL loaded.
inline HRESULT AfxDllCanUnloadNow() { return S_OK; }
