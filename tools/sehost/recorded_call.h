// One call on a host object through its function table (the AddIn object, the connection
// points), journalled as the dispatch objects journal theirs: the slot in place of the dispatch
// identifier, the arguments as text, the result.
//
//   RecordedCall call(State(), "AddIn", "SetConnectedFlag", 11);
//   call.Argument(VT_I4, std::to_string(value));
//   if (HRESULT failure = call.InjectedFailure())
//       return call.Return(failure);
//   return call.Return(S_OK);
#pragma once

#include <string>

#include "tools/sehost/host_state.h"

namespace sehost {

class RecordedCall {
public:
    RecordedCall(HostState& state, const char* object, const char* operation, long slot);
    RecordedCall(const RecordedCall&) = delete;
    RecordedCall& operator=(const RecordedCall&) = delete;

    void Argument(VARTYPE type, std::string text);
    void Note(std::string note) { m_entry.note = std::move(note); }
    // The failure configured for this call, or S_OK.
    HRESULT InjectedFailure() const;
    // Journals the call with this result and returns it.
    HRESULT Return(HRESULT result);

private:
    HostState& m_state;
    JournalEntry m_entry;
};

std::string HandleText(ULONG_PTR value);  // "0x..." in hexadecimal
std::string GuidText(REFGUID id);        // "{0F539244-...}"

}  // namespace sehost
