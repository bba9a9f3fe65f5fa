#include "tools/sehost/addin_events_point.h"

#include <olectl.h>

#include "tools/sehost/recorded_call.h"

namespace sehost {

namespace {

constexpr long kAdviseSlot = 5;
constexpr long kUnadviseSlot = 6;

}  // namespace

AddInEventsPoint::AddInEventsPoint(std::shared_ptr<HostState> state, IConnectionPointContainer* container)
    : m_state(std::move(state)), m_container(container)
{
}

HRESULT STDMETHODCALLTYPE AddInEventsPoint::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE AddInEventsPoint::AddRef()
{
    return m_container->AddRef();
}

ULONG STDMETHODCALLTYPE AddInEventsPoint::Release()
{
    return m_container->Release();
}

HRESULT STDMETHODCALLTYPE AddInEventsPoint::GetConnectionInterface(IID* iid)
{
    if (!iid)
        return E_POINTER;
    *iid = IID_ISEAddInEvents;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE AddInEventsPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    if (!container)
        return E_POINTER;
    *container = m_container;
    m_container->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE AddInEventsPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    RecordedCall call(*m_state, "AddInEvents", "Advise", kAdviseSlot);
    call.Argument(VT_UNKNOWN, sink ? "(object)" : "(null)");
    if (HRESULT failure = call.InjectedFailure())
        return call.Return(failure);
    if (!sink || !cookie)
        return call.Return(E_POINTER);
    *cookie = 0;
    ComPtr<ISEAddInEvents> events;
    if (FAILED(sink->QueryInterface(IID_ISEAddInEvents, reinterpret_cast<void**>(events.ReleaseAndGetAddressOf()))) ||
        !events)
        return call.Return(CONNECT_E_CANNOTCONNECT);
    DWORD given = m_nextCookie++;
    m_sinks.emplace(given, std::move(events));
    *cookie = given;
    call.Note("cookie " + std::to_string(given));
    return call.Return(S_OK);
}

HRESULT STDMETHODCALLTYPE AddInEventsPoint::Unadvise(DWORD cookie)
{
    RecordedCall call(*m_state, "AddInEvents", "Unadvise", kUnadviseSlot);
    call.Argument(VT_UI4, std::to_string(cookie));
    if (HRESULT failure = call.InjectedFailure())
        return call.Return(failure);
    auto found = m_sinks.find(cookie);
    if (found == m_sinks.end())
        return call.Return(CONNECT_E_NOCONNECTION);
    // Out of the table before the release: the sink's destruction must find a consistent point.
    ComPtr<ISEAddInEvents> sink = std::move(found->second);
    m_sinks.erase(found);
    HRESULT result = call.Return(S_OK);
    sink.Reset();
    return result;
}

HRESULT STDMETHODCALLTYPE AddInEventsPoint::EnumConnections(IEnumConnections** connections)
{
    if (connections)
        *connections = nullptr;
    return E_NOTIMPL;
}

}  // namespace sehost
