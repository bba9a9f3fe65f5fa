#include "addin/Commands.h"

#include <ocidl.h>

#include <new>

#include "addin/AddInEvents.h"
#include "com/ComError.h"

ComPtr<IDispatch> Commands::HostApplication;
ComPtr<ISEAddIn> Commands::HostAddIn;

namespace {

// Replaces `slot` with `object`'s `iid` interface; E_NOINTERFACE leaves it null quietly.
template <class T>
void StoreHostReference(IUnknown* object, REFIID iid, ComPtr<T>& slot, const char* operation)
{
    slot.Reset();
    if (!object)
        return;
    ComPtr<T> queried;
    HRESULT hr = object->QueryInterface(iid, reinterpret_cast<void**>(queried.ReleaseAndGetAddressOf()));
    if (hr == E_NOINTERFACE)
        return;
    ThrowIfFailed(hr, operation);
    slot = std::move(queried);
}

// Advises `sink` on the source's ISEAddInEvents connection point; the first failing call's HRESULT.
HRESULT Advise(IUnknown* source, IUnknown* sink, DWORD* cookie)
{
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.ReleaseAndGetAddressOf()));
    if (FAILED(hr))
        return hr;
    ComPtr<IConnectionPoint> point;
    hr = container->FindConnectionPoint(IID_ISEAddInEvents, point.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    return point->Advise(sink, cookie);
}

}  // namespace

Commands::Commands()
{
    HostApplication.Reset();
    HostAddIn.Reset();
}

Commands::~Commands()
{
    if (m_sink)
        m_sink->Release();
}

HRESULT STDMETHODCALLTYPE Commands::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown)
        return E_NOINTERFACE;
    *object = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE Commands::AddRef()
{
    return ++m_refs;
}

ULONG STDMETHODCALLTYPE Commands::Release()
{
    ULONG refs = --m_refs;
    if (refs == 0)
        delete this;
    return refs;
}

int Commands::SetApplication(IDispatch* application)
{
    StoreHostReference(application, IID_IDispatch, HostApplication, "asking the host application for IDispatch");
    return 0;
}

HRESULT Commands::ConnectAddInEvents(ISEAddIn* addIn)
{
    StoreHostReference(addIn, IID_ISEAddIn, HostAddIn, "asking the host's AddIn object for ISEAddIn");

    CPELORINAddInEvents* sink = new (std::nothrow) CPELORINAddInEvents();
    if (!sink)
        return E_OUTOFMEMORY;
    sink->AddRef();
    if (m_sink)
        m_sink->Release();
    m_sink = sink;

    if (!HostAddIn)
        throw ComError(E_POINTER, "reaching the host's AddIn object");
    ComPtr<IUnknown> source;
    ThrowIfFailedWithInfo(HostAddIn->GetAddInEventSource(source.ReleaseAndGetAddressOf()),
                          "getting the host's add-in event source", HostAddIn.Get(), IID_ISEAddIn);
    if (!source)
        return E_POINTER;
    return Advise(source.Get(), static_cast<IUnknown*>(m_sink), &m_sink->m_cookie);
}

HRESULT Commands::DisconnectAddInEvents()
{
    if (!m_sink)
        return S_OK;
    HRESULT hr = S_OK;
    if (HostAddIn) {
        ComPtr<IConnectionPointContainer> container;
        hr = HostAddIn->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.ReleaseAndGetAddressOf()));
        ComPtr<IConnectionPoint> point;
        if (SUCCEEDED(hr))
            hr = container->FindConnectionPoint(IID_ISEAddInEvents, point.ReleaseAndGetAddressOf());
        if (SUCCEEDED(hr))
            hr = point->Unadvise(m_sink->m_cookie);
    }
    m_sink->Release();
    m_sink = nullptr;
    return hr;
}

void Commands::ReleaseHostReferences(bool processTerminating)
{
    if (processTerminating) {
        HostAddIn.Detach();
        HostApplication.Detach();
        return;
    }
    HostAddIn.Reset();
    HostApplication.Reset();
}
