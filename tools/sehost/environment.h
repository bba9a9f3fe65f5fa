// A host environment as the add-in sees it in OnConnectToEnvironment: an automation object whose
// property 8 is its collection of command bars.
#pragma once

#include <string>

#include "com/ComPtr.h"
#include "tools/sehost/command_bars.h"
#include "tools/sehost/dispatch_object.h"

namespace sehost {

constexpr DISPID kEnvironmentCommandBars = 8;  // property get: VT_DISPATCH

class Environment final : public DispatchObject {
public:
    Environment(std::shared_ptr<HostState> state, std::string categoryId);

    const std::string& CategoryId() const noexcept { return m_categoryId; }
    CommandBars& Bars() const noexcept { return *m_bars.Get(); }

    // Refuses IDispatch when the host is so configured (HostConfig::environmentAnswersDispatch).
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;

protected:
    HRESULT Call(const Member& member, const VARIANT* arguments, UINT argumentCount, VARIANT* result,
                 UINT* argumentError, JournalEntry& entry) override;

private:
    std::string m_categoryId;
    ComPtr<CommandBars> m_bars;
};

}  // namespace sehost
