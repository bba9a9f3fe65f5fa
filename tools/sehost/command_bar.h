// A command bar of an environment; the add-in sets its property 11 on first set-up.
#pragma once

#include <string>

#include "tools/sehost/dispatch_object.h"

namespace sehost {

constexpr DISPID kCommandBarVisible = 11;  // property put: VT_I4

class CommandBar final : public DispatchObject {
public:
    CommandBar(std::shared_ptr<HostState> state, std::string name);

    const std::string& Name() const noexcept { return m_name; }
    LONG Visible() const noexcept { return m_visible; }

protected:
    HRESULT Call(const Member& member, const VARIANT* arguments, UINT argumentCount, VARIANT* result,
                 UINT* argumentError, JournalEntry& entry) override;

private:
    std::string m_name;
    LONG m_visible = 0;
};

}  // namespace sehost
