#include "afx/WinApp.h"

namespace {

thread_local CWinThread t_thread;
thread_local CWnd t_activeWindow;

}  // namespace

CWnd* CWinThread::GetMainWnd()
{
    if (m_pMainWnd)
        return m_pMainWnd;
    t_activeWindow.m_hWnd = GetActiveWindow();
    return t_activeWindow.m_hWnd ? &t_activeWindow : nullptr;
}

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName)
{
    AfxGetStaticModuleState()->m_pCurrentWinApp = this;
}

CWinApp::~CWinApp()
{
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    if (state->m_pCurrentWinApp == this)
        state->m_pCurrentWinApp = nullptr;
}

CWinThread* AfxGetThread()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd)
        return app;
    return &t_thread;
}

CWnd* AfxGetMainWnd()
{
    return AfxGetThread()->GetMainWnd();
}

BOOL AfxDllProcessAttach(HINSTANCE instance)
{
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    state->m_hCurrentInstanceHandle = instance;
    state->m_hCurrentResourceHandle = instance;
    CWinApp* app = state->m_pCurrentWinApp;
    if (!app)
        return TRUE;
    app->m_hInstance = instance;
    ModuleStateGuard guard(state);
    return app->InitInstance();
}

void AfxDllProcessDetach()
{
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    if (CWinApp* app = state->m_pCurrentWinApp) {
        ModuleStateGuard guard(state);
        app->ExitInstance();
    }
}
