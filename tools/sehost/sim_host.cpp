#include "tools/sehost/sim_host.h"

namespace sehost {

SimHost::SimHost(HostConfig config)
    : m_state(std::make_shared<HostState>(HostState{std::move(config), {}})),
      m_document(ComPtr<sehost::Document>::Attach(new sehost::Document(m_state))),
      m_application(ComPtr<sehost::Application>::Attach(new sehost::Application(m_state, m_document)))
{
}

SimHost::~SimHost() = default;

}  // namespace sehost
