#include "afx/ModuleState.h"

namespace {

AFX_MODULE_STATE& ProcessState()
{
    static AFX_MODULE_STATE state{GetModuleHandleA(nullptr), GetModuleHandleA(nullptr), nullptr};
    return state;
}

AFX_MODULE_STATE& StaticState()
{
    static AFX_MODULE_STATE state;
    return state;
}

thread_local AFX_MODULE_STATE* t_current = nullptr;

}  // namespace

AFX_MODULE_STATE* AfxGetModuleState()
{
    return t_current ? t_current : &ProcessState();
}

AFX_MODULE_STATE* AfxGetStaticModuleState()
{
    AFX_MODULE_STATE& state = StaticState();
    if (!state.m_hCurrentInstanceHandle) {
        // Until the module's start-up records it, find the module from this code's own address.
        HMODULE self = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&AfxGetStaticModuleState), &self);
        state.m_hCurrentInstanceHandle = self;
        state.m_hCurrentResourceHandle = self;
    }
    return &state;
}

HINSTANCE AfxGetInstanceHandle()
{
    return AfxGetModuleState()->m_hCurrentInstanceHandle;
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetModuleState()->m_hCurrentResourceHandle;
}

CWinApp* AfxGetApp()
{
    return AfxGetModuleState()->m_pCurrentWinApp;
}

ModuleStateGuard::ModuleStateGuard(AFX_MODULE_STATE* state) : m_previous(t_current)
{
    t_current = state;
}

ModuleStateGuard::~ModuleStateGuard()
{
    t_current = m_previous;
}
