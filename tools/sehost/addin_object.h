// The host's AddIn object: what the host hands an add-in at connection to stand for it. It
// takes the add-in's command set and buttons (SetAddInInfo, AddCommandBarButton), hands out the
// add-in event source, and is itself a connection point container that finds the event
// source's connection point, so a sink advised on one is unadvised through the other.
#pragma once

#include <ocidl.h>

#include <memory>

#include "com/ComPtr.h"
#include "framewrk.h"
#include "tools/sehost/addin_event_source.h"
#include "tools/sehost/host_state.h"

namespace sehost {

constexpr long kSlotGetAddInEventSource = 4;
constexpr long kSlotSetConnectedFlag = 11;
constexpr long kSlotSetAddInInfo = 17;
constexpr long kSlotAddCommandBarButton = 19;

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class AddInObject final : public ISEAddIn, public IConnectionPointContainer {
public:
    // Starts with one reference, owned by the creator.
    explicit AddInObject(std::shared_ptr<HostState> state);
    AddInObject(const AddInObject&) = delete;
    AddInObject& operator=(const AddInObject&) = delete;

    // The true count, for tests that check what the code under test keeps.
    ULONG References() const noexcept { return static_cast<ULONG>(m_references); }
    AddInEventSource& EventSource() const noexcept { return *m_eventSource.Get(); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ISEAddIn: the slots the host defines for other uses answer E_NOTIMPL.
    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAddInEventSource(IUnknown** source) override;
    HRESULT STDMETHODCALLTYPE Reserved5() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved6() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved8() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved9() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved10() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetConnectedFlag(LONG value) override;
    HRESULT STDMETHODCALLTYPE Reserved12() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved13() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved14() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved15() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved16() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAddInInfo(__int3264 instance, BSTR environment, BSTR category, LONG colorMedium,
                                           LONG colorLarge, LONG monochromeMedium, LONG monochromeLarge,
                                           LONG commandCount, SAFEARRAY** names, SAFEARRAY** ids) override;
    HRESULT STDMETHODCALLTYPE Reserved18() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddCommandBarButton(BSTR environment, BSTR barName, LONG commandId,
                                                  IDispatch** button) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

private:
    ~AddInObject() = default;

    volatile LONG m_references = 1;
    std::shared_ptr<HostState> m_state;
    ComPtr<AddInEventSource> m_eventSource;
};
#pragma GCC diagnostic pop

}  // namespace sehost
