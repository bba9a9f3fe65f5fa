#include "tools/sehost/command_bars.h"

#include "com/Bstr.h"

namespace sehost {

namespace {

const Member kCommandBarsMembers[] = {
    {kCommandBarsItem, "Item", DISPATCH_METHOD, 1},
};

}  // namespace

CommandBars::CommandBars(std::shared_ptr<HostState> state, std::string environment)
    : DispatchObject("CommandBars", std::move(state), kCommandBarsMembers, ARRAYSIZE(kCommandBarsMembers)),
      m_environment(std::move(environment))
{
}

CommandBar* CommandBars::Bar(const std::string& name) const
{
    auto found = m_bars.find(name);
    return found == m_bars.end() ? nullptr : found->second.Get();
}

HRESULT CommandBars::Call(const Member& member, const VARIANT* arguments, UINT, VARIANT* result, UINT* argumentError,
                          JournalEntry& entry)
{
    if (member.dispid != kCommandBarsItem)
        return DISP_E_MEMBERNOTFOUND;
    return Item(arguments[0], result, argumentError, entry);
}

HRESULT CommandBars::Item(const VARIANT& name, VARIANT* result, UINT* argumentError, JournalEntry& entry)
{
    if (name.vt != VT_BSTR) {
        *argumentError = 0;
        return DISP_E_TYPEMISMATCH;
    }
    std::string barName = BstrToAnsi(name.bstrVal).GetString();
    const HostConfig& config = State().config;
    result->vt = VT_DISPATCH;
    result->pdispVal = nullptr;
    if (!State().commandBars.count({m_environment, barName})) {
        entry.note = "no such bar";
        return config.unknownCommandBarResult;
    }
    if (config.commandBarNull) {
        entry.note = "answered null";
        return S_OK;
    }
    ComPtr<CommandBar>& bar = m_bars[barName];
    if (!bar)
        bar = ComPtr<CommandBar>::Attach(new CommandBar(SharedState(), barName));
    result->pdispVal = bar.Get();
    bar->AddRef();
    return S_OK;
}

}  // namespace sehost
