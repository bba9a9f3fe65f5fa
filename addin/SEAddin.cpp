#include "addin/SEAddin.h"

#include <new>

#include "addin/Commands.h"
#include "addin/EnvironmentSetup.h"
#include "addin/HostCallGuard.h"
#include "afx/ModuleState.h"

namespace {

constexpr ULONG kSetConnected = 1;

// The non-delegating IUnknown of an aggregated add-in object; it owns the contained object.
class AggregatedSEAddin final : public IUnknown {
public:
    explicit AggregatedSEAddin(IUnknown* outer) : m_inner(outer) {}
    AggregatedSEAddin(const AggregatedSEAddin&) = delete;
    AggregatedSEAddin& operator=(const AggregatedSEAddin&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown) {
            *object = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return m_inner.InternalQueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }

private:
    ~AggregatedSEAddin() = default;

    ULONG m_refs = 0;
    SEAddin m_inner;
};

}  // namespace

SEAddin::~SEAddin()
{
    // The command object belongs to the connection; disconnection releases it.
}

HRESULT SEAddin::InternalQueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_ISolidEdgeAddIn)
        *object = static_cast<ISolidEdgeAddIn*>(this);
    else if (iid == IID_ISupportErrorInfo)
        *object = static_cast<ISupportErrorInfo*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SEAddin::QueryInterface(REFIID iid, void** object)
{
    if (!m_outer)
        return InternalQueryInterface(iid, object);
    HRESULT hr = m_outer->QueryInterface(iid, object);
    if (FAILED(hr) && m_outer != static_cast<IUnknown*>(static_cast<ISolidEdgeAddIn*>(this)))
        hr = InternalQueryInterface(iid, object);
    return hr;
}

ULONG STDMETHODCALLTYPE SEAddin::AddRef()
{
    return m_outer ? m_outer->AddRef() : ++m_refs;
}

ULONG STDMETHODCALLTYPE SEAddin::Release()
{
    if (m_outer)
        return m_outer->Release();
    ULONG refs = --m_refs;
    if (refs == 0)
        delete this;
    return refs;
}

HRESULT STDMETHODCALLTYPE SEAddin::OnConnection(IDispatch* application, long, ISEAddIn* addInInstance)
{
    ModuleStateGuard state;
    return GuardHostCall(IID_ISolidEdgeAddIn, [&]() -> HRESULT {
        Commands* commands = new (std::nothrow) Commands();
        if (!commands)
            return E_OUTOFMEMORY;
        commands->AddRef();
        if (m_commands)
            m_commands->Release();
        m_commands = commands;

        m_commands->SetApplication(application);
        HRESULT result = m_commands->ConnectAddInEvents(addInInstance);
        if (SUCCEEDED(result)) {
            if (!Commands::HostAddIn)
                throw ComError(E_POINTER, "reaching the host's AddIn object");
            Commands::HostAddIn->SetConnectedFlag(kSetConnected);
        }
        return result;
    });
}

HRESULT STDMETHODCALLTYPE SEAddin::OnConnectToEnvironment(BSTR environmentCatId, IDispatch* environment,
                                                          VARIANT_BOOL firstTime)
{
    return GuardHostCall(IID_ISolidEdgeAddIn, [&] {
        return ConnectToEnvironment(Commands::HostAddIn.Get(), environmentCatId, environment, firstTime);
    });
}

HRESULT STDMETHODCALLTYPE SEAddin::OnDisconnection(long)
{
    ModuleStateGuard state;
    if (m_commands) {
        m_commands->DisconnectAddInEvents();
        m_commands->Release();
        m_commands = nullptr;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SEAddin::InterfaceSupportsErrorInfo(REFIID iid)
{
    return iid == IID_ISEAddIn ? S_OK : S_FALSE;
}

HRESULT CreateSEAddin(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    IUnknown* created;
    if (outer) {
        AggregatedSEAddin* wrapper = new (std::nothrow) AggregatedSEAddin(outer);
        created = wrapper;
    } else {
        SEAddin* addin = new (std::nothrow) SEAddin();
        created = addin ? static_cast<ISolidEdgeAddIn*>(addin) : nullptr;
    }
    if (!created)
        return E_OUTOFMEMORY;
    // Count 0 → 1 → 0 around a failing query destroys the object again (and gives back its lock).
    created->AddRef();
    HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
}
