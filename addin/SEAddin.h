// SEAddin: the add-in object the host creates and connects.
#pragma once

#include "framewrk.h"
#include "module/ModuleLock.h"

class Commands;

class SEAddin final : public ISolidEdgeAddIn, public ISupportErrorInfo {
public:
    // `outer` is the controlling object when aggregated, else null.
    explicit SEAddin(IUnknown* outer = nullptr) : m_outer(outer) {}
    ~SEAddin();
    SEAddin(const SEAddin&) = delete;
    SEAddin& operator=(const SEAddin&) = delete;

    // IUnknown: delegates to the outer object when aggregated.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // The add-in's own interfaces, AddRef'ed through its IUnknown.
    HRESULT InternalQueryInterface(REFIID iid, void** object);

    // ISolidEdgeAddIn
    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, long connectMode, ISEAddIn* addInInstance) override;
    HRESULT STDMETHODCALLTYPE OnConnectToEnvironment(BSTR environmentCatId, IDispatch* environment,
                                                     VARIANT_BOOL firstTime) override;
    HRESULT STDMETHODCALLTYPE OnDisconnection(long disconnectMode) override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

    Commands* CommandObject() const { return m_commands; }

private:
    IUnknown* m_outer;
    ULONG m_refs = 0;
    Commands* m_commands = nullptr;
    module::ScopedLock m_lock;
};

// Creates an add-in object (aggregated when `outer` is given) and queries it for `iid`.
HRESULT CreateSEAddin(IUnknown* outer, REFIID iid, void** object);
