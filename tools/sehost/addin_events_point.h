// The connection point for ISEAddInEvents: it keeps each advised sink (one reference) under its
// cookie until Unadvise, and is how the host reaches the add-in's sink to fire events.
// It lives inside the event source (addin_event_source.h) and counts its references there.
#pragma once

#include <ocidl.h>

#include <map>
#include <memory>

#include "com/ComPtr.h"
#include "framewrk.h"
#include "tools/sehost/host_state.h"

namespace sehost {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class AddInEventsPoint final : public IConnectionPoint {
public:
    AddInEventsPoint(std::shared_ptr<HostState> state, IConnectionPointContainer* container);
    AddInEventsPoint(const AddInEventsPoint&) = delete;
    AddInEventsPoint& operator=(const AddInEventsPoint&) = delete;
    ~AddInEventsPoint() = default;

    // The advised sinks by cookie, in the order they were advised.
    const std::map<DWORD, ComPtr<ISEAddInEvents>>& Sinks() const noexcept { return m_sinks; }

    // IUnknown: the container's identity and count.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IConnectionPoint
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

private:
    std::shared_ptr<HostState> m_state;
    IConnectionPointContainer* m_container;  // the owner
    std::map<DWORD, ComPtr<ISEAddInEvents>> m_sinks;
    // Cookies start away from 0, so a sink that unadvises with a cookie it never got is caught.
    DWORD m_nextCookie = 0x100;
};
#pragma GCC diagnostic pop

}  // namespace sehost
