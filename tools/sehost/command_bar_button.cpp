#include "tools/sehost/command_bar_button.h"

namespace sehost {

CommandBarButton::CommandBarButton(std::shared_ptr<HostState> state)
    : DispatchObject("CommandBarButton", std::move(state), nullptr, 0)
{
}

HRESULT CommandBarButton::Call(const Member&, const VARIANT*, UINT, VARIANT*, UINT*, JournalEntry&)
{
    return DISP_E_MEMBERNOTFOUND;
}

}  // namespace sehost
