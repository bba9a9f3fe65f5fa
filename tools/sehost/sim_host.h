// The simulated host, as a test uses it in-process: the application object and its document,
// the AddIn object that stands for a connected add-in, environments, the answers they give
// (HostConfig) and the journal of every call made on them.
//
//   sehost::SimHost host;                                  // defaults: version "20.00", a part
//   host.Config().activeDocumentType = 3;                  // change answers at any time
//   host.Config().failures["SaveAs"] = E_ACCESSDENIED;     // make one call fail
//   RunCodeUnderTest(host.Application());                  // it sees only IDispatch*
//   EXPECT_EQ(host.Journal().CountCalls("SaveAs"), 1u);
//   EXPECT_EQ(host.ApplicationRefCount(), 1u);             // only the host's own reference left
//
// An add-in is connected as the host connects one, and its events fired through the sink it advised:
//
//   addIn->OnConnection(host.Application(), mode, host.AddIn());
//   ComPtr<sehost::Environment> part = host.CreateEnvironment("{26618394-...}");
//   addIn->OnConnectToEnvironment(Bstr(...).Get(), part.Get(), VARIANT_TRUE);
//   host.FireCommand(0);
//   addIn->OnDisconnection(mode);
//
// Operations in the journal: Application "Version" (58), "ActiveDocumentType" (76),
// "ActiveDocument" (2); Document "SaveAs" (36); AddIn "GetAddInEventSource" (slot 4),
// "SetConnectedFlag" (11), "SetAddInInfo" (17), "AddCommandBarButton" (19); EventSource and AddIn
// "FindConnectionPoint"; AddInEvents "Advise", "Unadvise"; Environment "CommandBars" (8);
// CommandBars "Item" (0); CommandBar "Visible" (11). The objects live on the creating thread and
// are not thread-safe (the host is single-threaded apartment code).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "com/ComPtr.h"
#include "framewrk.h"
#include "tools/sehost/addin_object.h"
#include "tools/sehost/application.h"
#include "tools/sehost/document.h"
#include "tools/sehost/environment.h"
#include "tools/sehost/host_state.h"
#include "tools/sehost/sample_models.h"

namespace sehost {

class SimHost {
public:
    explicit SimHost(HostConfig config = HostConfig());
    SimHost(const SimHost&) = delete;
    SimHost& operator=(const SimHost&) = delete;
    ~SimHost();

    HostConfig& Config() noexcept { return m_state->config; }
    CallJournal& Journal() noexcept { return m_state->journal; }
    const CallJournal& Journal() const noexcept { return m_state->journal; }

    // Borrowed: the host keeps one reference to each object for its own lifetime.
    IDispatch* Application() const noexcept { return m_application.Get(); }
    IDispatch* Document() const noexcept { return m_document.Get(); }
    ISEAddIn* AddIn() const noexcept { return m_addIn.Get(); }

    // The true counts, including the host's own reference (and the application's reference to
    // its document): 1 and 2 when the code under test holds nothing.
    ULONG ApplicationRefCount() const noexcept { return m_application->References(); }
    ULONG DocumentRefCount() const noexcept { return m_document->References(); }
    ULONG AddInRefCount() const noexcept { return m_addIn->References(); }

    // The sinks advised on the add-in events now, and the true reference count of the first of
    // them (0 without one): the connection point's reference included.
    std::size_t AdvisedSinkCount() const noexcept;
    ULONG SinkRefCount() const;

    // A new environment of that category; the caller owns the one reference.
    ComPtr<Environment> CreateEnvironment(const std::string& categoryId) const;

    // Every SetAddInInfo call on the AddIn object, in order.
    const std::vector<AddInInfoCall>& AddInInfoCalls() const noexcept { return m_state->addInInfo; }

    // The add-in events, fired at every advised sink in the order they were advised: the last
    // sink's result, or CONNECT_E_NOCONNECTION when none is advised.
    HRESULT FireCommand(LONG commandId) const;
    HRESULT FireCommandHelp(__int3264 frameWindow, LONG helpCommandId, LONG commandId) const;
    HRESULT FireCommandUpdateUI(LONG commandId, LONG* commandFlags, BSTR* menuItemText, LONG* bitmapId) const;

    // The model a save writes, as configured.
    const Model* ActiveModel() const { return FindSampleModel(m_state->config.model); }

private:
    template <class Event>
    HRESULT Fire(Event&& event) const;

    std::shared_ptr<HostState> m_state;
    ComPtr<sehost::Document> m_document;
    ComPtr<sehost::Application> m_application;
    ComPtr<AddInObject> m_addIn;
};

}  // namespace sehost
