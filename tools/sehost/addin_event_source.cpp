#include "tools/sehost/addin_event_source.h"

#include <olectl.h>

#include "tools/sehost/recorded_call.h"

namespace sehost {

namespace {

constexpr long kFindConnectionPointSlot = 4;

}  // namespace

AddInEventSource::AddInEventSource(std::shared_ptr<HostState> state) : m_state(state), m_point(state, this)
{
}

HRESULT AddInEventSource::FindPoint(const char* objectName, REFIID iid, IConnectionPoint** point)
{
    RecordedCall call(*m_state, objectName, "FindConnectionPoint", kFindConnectionPointSlot);
    call.Argument(VT_CLSID, GuidText(iid));
    if (point)
        *point = nullptr;
    if (HRESULT failure = call.InjectedFailure())
        return call.Return(failure);
    if (!point)
        return call.Return(E_POINTER);
    if (!IsEqualIID(iid, IID_ISEAddInEvents))
        return call.Return(CONNECT_E_NOCONNECTION);
    *point = &m_point;
    m_point.AddRef();
    return call.Return(S_OK);
}

HRESULT STDMETHODCALLTYPE AddInEventSource::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPointContainer)) {
        *object = static_cast<IConnectionPointContainer*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE AddInEventSource::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG STDMETHODCALLTYPE AddInEventSource::Release()
{
    LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE AddInEventSource::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    if (points)
        *points = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE AddInEventSource::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    return FindPoint("EventSource", iid, point);
}

}  // namespace sehost
