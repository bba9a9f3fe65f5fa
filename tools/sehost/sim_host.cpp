#include "tools/sehost/sim_host.h"

#include <olectl.h>

namespace sehost {

SimHost::SimHost(HostConfig config)
    : m_state(std::make_shared<HostState>()),
      m_document(ComPtr<sehost::Document>::Attach(new sehost::Document(m_state))),
      m_application(ComPtr<sehost::Application>::Attach(new sehost::Application(m_state, m_document))),
      m_addIn(ComPtr<AddInObject>::Attach(new AddInObject(m_state)))
{
    m_state->config = std::move(config);
}

SimHost::~SimHost() = default;

std::size_t SimHost::AdvisedSinkCount() const noexcept
{
    return m_addIn->EventSource().Point().Sinks().size();
}

ULONG SimHost::SinkRefCount() const
{
    const auto& sinks = m_addIn->EventSource().Point().Sinks();
    if (sinks.empty())
        return 0;
    ISEAddInEvents* sink = sinks.begin()->second.Get();
    sink->AddRef();
    return sink->Release();
}

ComPtr<Environment> SimHost::CreateEnvironment(const std::string& categoryId) const
{
    return ComPtr<Environment>::Attach(new Environment(m_state, categoryId));
}

template <class Event>
HRESULT SimHost::Fire(Event&& event) const
{
    // A copy: an event handler may unadvise, which changes the point's table.
    std::vector<ComPtr<ISEAddInEvents>> sinks;
    for (const auto& advised : m_addIn->EventSource().Point().Sinks())
        sinks.push_back(advised.second);
    HRESULT result = CONNECT_E_NOCONNECTION;
    for (const ComPtr<ISEAddInEvents>& sink : sinks)
        result = event(sink.Get());
    return result;
}

HRESULT SimHost::FireCommand(LONG commandId) const
{
    return Fire([&](ISEAddInEvents* sink) { return sink->OnCommand(commandId); });
}

HRESULT SimHost::FireCommandHelp(__int3264 frameWindow, LONG helpCommandId, LONG commandId) const
{
    return Fire([&](ISEAddInEvents* sink) { return sink->OnCommandHelp(frameWindow, helpCommandId, commandId); });
}

HRESULT SimHost::FireCommandUpdateUI(LONG commandId, LONG* commandFlags, BSTR* menuItemText, LONG* bitmapId) const
{
    return Fire([&](ISEAddInEvents* sink) {
        return sink->OnCommandUpdateUI(commandId, commandFlags, menuItemText, bitmapId);
    });
}

}  // namespace sehost
