#include "tools/sehost/command_bar.h"

namespace sehost {

namespace {

const Member kCommandBarMembers[] = {
    {kCommandBarVisible, "Visible", DISPATCH_PROPERTYPUT, 0},
};

}  // namespace

CommandBar::CommandBar(std::shared_ptr<HostState> state, std::string name)
    : DispatchObject("CommandBar", std::move(state), kCommandBarMembers, ARRAYSIZE(kCommandBarMembers)),
      m_name(std::move(name))
{
}

HRESULT CommandBar::Call(const Member& member, const VARIANT* arguments, UINT, VARIANT*, UINT* argumentError,
                         JournalEntry& entry)
{
    if (member.dispid != kCommandBarVisible)
        return DISP_E_MEMBERNOTFOUND;
    if (arguments[0].vt != VT_I4) {
        *argumentError = 0;
        return DISP_E_TYPEMISMATCH;
    }
    m_visible = arguments[0].lVal;
    entry.note = "bar \"" + m_name + "\"";
    return S_OK;
}

}  // namespace sehost
