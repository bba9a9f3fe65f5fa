#include "tools/sehost/journal.h"

#include <cstdio>

#include "com/Bstr.h"

namespace sehost {

namespace {

std::string FlagsText(WORD flags)
{
    std::string text;
    auto add = [&](WORD flag, const char* name) {
        if (flags & flag) {
            if (!text.empty())
                text += '|';
            text += name;
        }
    };
    add(DISPATCH_METHOD, "method");
    add(DISPATCH_PROPERTYGET, "get");
    add(DISPATCH_PROPERTYPUT, "put");
    add(DISPATCH_PROPERTYPUTREF, "putref");
    return text.empty() ? "no flags" : text;
}

}  // namespace

std::string VarTypeName(VARTYPE type)
{
    switch (type) {
    case VT_EMPTY: return "EMPTY";
    case VT_NULL: return "NULL";
    case VT_I2: return "I2";
    case VT_I4: return "I4";
    case VT_R4: return "R4";
    case VT_R8: return "R8";
    case VT_BSTR: return "BSTR";
    case VT_DISPATCH: return "DISPATCH";
    case VT_BOOL: return "BOOL";
    case VT_VARIANT: return "VARIANT";
    case VT_UNKNOWN: return "UNKNOWN";
    case VT_UI4: return "UI4";
    case VT_INT: return "INT";
    default: break;
    }
    char text[32];
    std::snprintf(text, sizeof text, "vt 0x%04X", static_cast<unsigned>(type));
    return text;
}

std::string VariantText(const VARIANT& value)
{
    char text[64];
    switch (value.vt) {
    case VT_EMPTY: return "(empty)";
    case VT_NULL: return "(null)";
    case VT_BSTR: return BstrToAnsi(value.bstrVal).GetString();
    case VT_I2: std::snprintf(text, sizeof text, "%d", value.iVal); return text;
    case VT_I4: std::snprintf(text, sizeof text, "%ld", static_cast<long>(value.lVal)); return text;
    case VT_INT: std::snprintf(text, sizeof text, "%d", value.intVal); return text;
    case VT_UI4: std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(value.ulVal)); return text;
    case VT_R4: std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value.fltVal)); return text;
    case VT_R8: std::snprintf(text, sizeof text, "%.17g", value.dblVal); return text;
    case VT_BOOL: return value.boolVal ? "true" : "false";
    case VT_DISPATCH: return value.pdispVal ? "(object)" : "(null)";
    case VT_UNKNOWN: return value.punkVal ? "(object)" : "(null)";
    default: break;
    }
    std::snprintf(text, sizeof text, "(vt 0x%04X)", static_cast<unsigned>(value.vt));
    return text;
}

std::string JournalEntry::Describe() const
{
    std::string text = object + "." + operation + "(" + FlagsText(flags);
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        VARTYPE type = i < argumentTypes.size() ? argumentTypes[i] : VARTYPE(VT_EMPTY);
        text += "; " + VarTypeName(type) + " \"" + arguments[i] + "\"";
    }
    char tail[48];
    std::snprintf(tail, sizeof tail, ") dispid %ld -> 0x%08lX", static_cast<long>(dispid),
                  static_cast<unsigned long>(result));
    text += tail;
    if (!note.empty())
        text += " [" + note + "]";
    return text;
}

std::size_t CallJournal::CountCalls(const std::string& operation) const
{
    std::size_t count = 0;
    for (const JournalEntry& entry : m_entries)
        count += entry.operation == operation;
    return count;
}

std::vector<std::string> CallJournal::Operations() const
{
    std::vector<std::string> names;
    names.reserve(m_entries.size());
    for (const JournalEntry& entry : m_entries)
        names.push_back(entry.operation);
    return names;
}

const JournalEntry* CallJournal::Last(const std::string& operation) const
{
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
        if (it->operation == operation)
            return &*it;
    return nullptr;
}

std::string CallJournal::Describe() const
{
    std::string text;
    for (const JournalEntry& entry : m_entries)
        text += entry.Describe() + "\n";
    return text.empty() ? "(no calls)\n" : text;
}

}  // namespace sehost
