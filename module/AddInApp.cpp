#include "module/AddInApp.h"

#include "addin/Commands.h"
#include "module/ClassTable.h"

namespace {
CAddInApp theApp;
bool g_processTerminating = false;
}  // namespace

void SetProcessTerminating(bool terminating)
{
    g_processTerminating = terminating;
}

BOOL CAddInApp::InitInstance()
{
    InitializeClassTable();
    return CWinApp::InitInstance();
}

int CAddInApp::ExitInstance()
{
    TerminateClassTable();
    Commands::ReleaseHostReferences(g_processTerminating);
    return CWinApp::ExitInstance();
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        if (!AfxDllProcessAttach(instance)) {
            AfxDllProcessDetach();
            return FALSE;
        }
    } else if (reason == DLL_PROCESS_DETACH) {
        SetProcessTerminating(reserved != nullptr);
        AfxDllProcessDetach();
    }
    return TRUE;
}
