// A button the AddIn object made for a command: an automation object with no members the add-in uses.
#pragma once

#include "tools/sehost/dispatch_object.h"

namespace sehost {

class CommandBarButton final : public DispatchObject {
public:
    explicit CommandBarButton(std::shared_ptr<HostState> state);

protected:
    HRESULT Call(const Member& member, const VARIANT* arguments, UINT argumentCount, VARIANT* result,
                 UINT* argumentError, JournalEntry& entry) override;
};

}  // namespace sehost
