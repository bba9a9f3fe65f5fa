// The record of every call the code under test made on the simulated host's objects.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstddef>
#include <string>
#include <vector>

namespace sehost {

struct JournalEntry {
    std::string object;     // "Application", "Document", ...
    std::string operation;  // "Version", "SaveAs", ...; "#<dispid>" for an identifier the object does not know
    DISPID dispid = DISPID_UNKNOWN;       // for a function-table method: its slot
    WORD flags = 0;                       // the wFlags of the call (DISPATCH_METHOD, DISPATCH_PROPERTYGET, ...)
    unsigned argumentCount = 0;           // cArgs
    std::vector<VARTYPE> argumentTypes;   // in call order (DISPPARAMS holds them reversed)
    std::vector<std::string> arguments;   // in call order, as text: a BSTR's characters, a number's digits
    HRESULT result = S_OK;
    std::string note;                     // what the call did beyond its result, e.g. "wrote 960 facets"

    std::string Describe() const;  // one line: Document.SaveAs(method; BSTR "C:\t.stl") -> 0x00000000 ...
};

class CallJournal {
public:
    void Record(JournalEntry entry) { m_entries.push_back(std::move(entry)); }
    void Clear() noexcept { m_entries.clear(); }

    const std::vector<JournalEntry>& Entries() const noexcept { return m_entries; }
    std::size_t CountCalls(const std::string& operation) const;
    // The operation names in call order: compare with the expected sequence in one assertion.
    std::vector<std::string> Operations() const;
    // The last call of `operation`, or null.
    const JournalEntry* Last(const std::string& operation) const;
    // Every entry on its own line, for assertion messages.
    std::string Describe() const;

private:
    std::vector<JournalEntry> m_entries;
};

// A VARIANT as journal text: BSTR characters (ANSI), integers and reals in digits, "true"/"false",
// "(empty)", "(null)", "(object)"; anything else as "(vt N)".
std::string VariantText(const VARIANT& value);
std::string VarTypeName(VARTYPE type);

}  // namespace sehost
