// The simulated host, as a test uses it in-process: the application object and its document,
// the answers they give (HostConfig) and the journal of every call made on them.
//
//   sehost::SimHost host;                                  // defaults: version "20.00", a part
//   host.Config().activeDocumentType = 3;                  // change answers at any time
//   host.Config().failures["SaveAs"] = E_ACCESSDENIED;     // make one call fail
//   RunCodeUnderTest(host.Application());                  // it sees only IDispatch*
//   EXPECT_EQ(host.Journal().CountCalls("SaveAs"), 1u);
//   EXPECT_EQ(host.ApplicationRefCount(), 1u);             // only the host's own reference left
//
// Operations in the journal: Application "Version" (58), "ActiveDocumentType" (76),
// "ActiveDocument" (2); Document "SaveAs" (36). The objects live on the creating thread and are
// not thread-safe (the host is single-threaded apartment code).
#pragma once

#include <memory>

#include "com/ComPtr.h"
#include "tools/sehost/application.h"
#include "tools/sehost/document.h"
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

    // The true counts, including the host's own reference (and the application's reference to
    // its document): 1 and 2 when the code under test holds nothing.
    ULONG ApplicationRefCount() const noexcept { return m_application->References(); }
    ULONG DocumentRefCount() const noexcept { return m_document->References(); }

    // The model a save writes, as configured.
    const Model* ActiveModel() const { return FindSampleModel(m_state->config.model); }

private:
    std::shared_ptr<HostState> m_state;
    ComPtr<sehost::Document> m_document;
    ComPtr<sehost::Application> m_application;
};

}  // namespace sehost
