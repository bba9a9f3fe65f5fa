#include "tools/sehost/recorded_call.h"

#include <cstdio>

#include "tools/sehost/injected_failure.h"

namespace sehost {

RecordedCall::RecordedCall(HostState& state, const char* object, const char* operation, long slot) : m_state(state)
{
    m_entry.object = object;
    m_entry.operation = operation;
    m_entry.dispid = slot;
}

void RecordedCall::Argument(VARTYPE type, std::string text)
{
    ++m_entry.argumentCount;
    m_entry.argumentTypes.push_back(type);
    m_entry.arguments.push_back(std::move(text));
}

HRESULT RecordedCall::InjectedFailure() const
{
    HRESULT failure = S_OK;
    FindInjectedFailure(m_state.config, m_entry.object, m_entry.operation, m_entry.dispid, failure);
    return failure;
}

HRESULT RecordedCall::Return(HRESULT result)
{
    m_entry.result = result;
    m_state.journal.Record(m_entry);
    return result;
}

std::string HandleText(ULONG_PTR value)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string GuidText(REFGUID id)
{
    wchar_t wide[40] = L"";
    StringFromGUID2(id, wide, 40);
    char text[40] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

}  // namespace sehost
