// An environment's collection of command bars: its default member, called as a method with a
// bar's name, gives that bar. A bar exists once the add-in has put a button on it.
#pragma once

#include <map>
#include <string>

#include "com/ComPtr.h"
#include "tools/sehost/command_bar.h"
#include "tools/sehost/dispatch_object.h"

namespace sehost {

constexpr DISPID kCommandBarsItem = 0;  // method, one VT_BSTR: the bar's name; VT_DISPATCH

class CommandBars final : public DispatchObject {
public:
    CommandBars(std::shared_ptr<HostState> state, std::string environment);

    // The bar of that name as handed out, or null when none was.
    CommandBar* Bar(const std::string& name) const;

protected:
    HRESULT Call(const Member& member, const VARIANT* arguments, UINT argumentCount, VARIANT* result,
                 UINT* argumentError, JournalEntry& entry) override;

private:
    HRESULT Item(const VARIANT& name, VARIANT* result, UINT* argumentError, JournalEntry& entry);

    std::string m_environment;
    std::map<std::string, ComPtr<CommandBar>> m_bars;
};

}  // namespace sehost
