#include "addin/AddInEvents.h"

#include "addin/Commands.h"
#include "addin/HostCallGuard.h"
#include "afx/ModuleState.h"
#include "export/ExportCommand.h"
#include "product/HelpCommand.h"

namespace {

constexpr char kCommandHelpFile[] = "CPelorin.hlp";
constexpr long kAnyCommand = -1;

using CommandHandler = void (*)(ComPtr<IDispatch>);

// Indexed by command identifier, as placed in the host's environments.
constexpr CommandHandler kRoutingTable[] = {OnExportCommand, OnHelpCommand, OnAboutCommand};
constexpr unsigned long kCommandCount = sizeof(kRoutingTable) / sizeof(kRoutingTable[0]);

}  // namespace

HRESULT STDMETHODCALLTYPE CPELORINAddInEvents::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_ISEAddInEvents)
        return E_NOINTERFACE;
    *object = static_cast<ISEAddInEvents*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CPELORINAddInEvents::AddRef()
{
    return ++m_refs;
}

ULONG STDMETHODCALLTYPE CPELORINAddInEvents::Release()
{
    ULONG refs = --m_refs;
    if (refs == 0)
        delete this;
    return refs;
}

HRESULT STDMETHODCALLTYPE CPELORINAddInEvents::OnCommand(long commandId)
{
    unsigned long index = static_cast<unsigned long>(commandId);
    if (index >= kCommandCount)
        return S_FALSE;
    return GuardHostCall(IID_ISEAddInEvents, [&] {
        kRoutingTable[index](Commands::HostApplication);  // the handler owns this counted reference
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE CPELORINAddInEvents::OnCommandHelp(__int3264 frameWindow, long helpCommandId, long commandId)
{
    ModuleStateGuard state;
    HWND window = reinterpret_cast<HWND>(frameWindow);
    BOOL shown = commandId == kAnyCommand
                     ? WinHelpA(window, kCommandHelpFile, HELP_FINDER, 0)
                     : WinHelpA(window, kCommandHelpFile, static_cast<UINT>(helpCommandId), static_cast<ULONG_PTR>(commandId));
    return shown ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CPELORINAddInEvents::OnCommandUpdateUI(long, long*, BSTR*, long*)
{
    ModuleStateGuard state;
    return S_OK;  // every command's state, text and image stay as the host has them
}
