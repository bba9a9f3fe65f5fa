// The object the AddIn object hands out as its add-in event source: a connection point
// container with one connection point, for ISEAddInEvents.
#pragma once

#include <ocidl.h>

#include <memory>

#include "tools/sehost/addin_events_point.h"
#include "tools/sehost/host_state.h"

namespace sehost {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class AddInEventSource final : public IConnectionPointContainer {
public:
    // Starts with one reference, owned by the creator.
    explicit AddInEventSource(std::shared_ptr<HostState> state);
    AddInEventSource(const AddInEventSource&) = delete;
    AddInEventSource& operator=(const AddInEventSource&) = delete;

    ULONG References() const noexcept { return static_cast<ULONG>(m_references); }
    AddInEventsPoint& Point() noexcept { return m_point; }
    const AddInEventsPoint& Point() const noexcept { return m_point; }

    // FindConnectionPoint, journalled under `objectName`: the AddIn object finds this same point.
    HRESULT FindPoint(const char* objectName, REFIID iid, IConnectionPoint** point);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

private:
    ~AddInEventSource() = default;

    volatile LONG m_references = 1;
    std::shared_ptr<HostState> m_state;
    AddInEventsPoint m_point;
};
#pragma GCC diagnostic pop

}  // namespace sehost
