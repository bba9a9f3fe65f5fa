#include "tools/sehost/environment.h"

namespace sehost {

namespace {

const Member kEnvironmentMembers[] = {
    {kEnvironmentCommandBars, "CommandBars", DISPATCH_PROPERTYGET, 0},
};

}  // namespace

Environment::Environment(std::shared_ptr<HostState> state, std::string categoryId)
    : DispatchObject("Environment", state, kEnvironmentMembers, ARRAYSIZE(kEnvironmentMembers)),
      m_categoryId(std::move(categoryId)),
      m_bars(ComPtr<CommandBars>::Attach(new CommandBars(state, m_categoryId)))
{
}

HRESULT STDMETHODCALLTYPE Environment::QueryInterface(REFIID iid, void** object)
{
    if (object && IsEqualIID(iid, IID_IDispatch) && !State().config.environmentAnswersDispatch) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    return DispatchObject::QueryInterface(iid, object);
}

HRESULT Environment::Call(const Member& member, const VARIANT*, UINT, VARIANT* result, UINT*, JournalEntry& entry)
{
    if (member.dispid != kEnvironmentCommandBars)
        return DISP_E_MEMBERNOTFOUND;
    result->vt = VT_DISPATCH;
    if (State().config.commandBarsNull) {
        result->pdispVal = nullptr;
        entry.note = "answered null";
        return S_OK;
    }
    result->pdispVal = m_bars.Get();
    m_bars->AddRef();
    return S_OK;
}

}  // namespace sehost
