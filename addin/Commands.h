// Commands: the add-in's command object. It connects the event sink to the host's add-in events
// and keeps, for the whole module, the host's application and AddIn objects.
#pragma once

#include "com/ComPtr.h"
#include "framewrk.h"
#include "module/ModuleLock.h"

class CPELORINAddInEvents;

class Commands final : public IUnknown {
public:
    // Class-wide: one copy for the module, kept from a connection to the next one or to unload.
    static ComPtr<IDispatch> HostApplication;
    static ComPtr<ISEAddIn> HostAddIn;

    // Releases both class-wide references (the application first).
    Commands();
    Commands(const Commands&) = delete;
    Commands& operator=(const Commands&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // Stores the application's IDispatch (null when it has none); raises ComError on a failing query.
    int SetApplication(IDispatch* application);
    // Stores the AddIn object and advises a new sink on its event source; raises ComError.
    HRESULT ConnectAddInEvents(ISEAddIn* addIn);
    // Unadvises the sink through the AddIn object and drops it; failures are ignored.
    HRESULT DisconnectAddInEvents();

    // At module unload: the AddIn object first, then the application. When the process is
    // ending the references are abandoned instead, as their objects may be gone already.
    static void ReleaseHostReferences(bool processTerminating);

    CPELORINAddInEvents* Sink() const { return m_sink; }

private:
    ~Commands();

    module::ScopedLock m_lock;
    ULONG m_refs = 0;
    CPELORINAddInEvents* m_sink = nullptr;
};
