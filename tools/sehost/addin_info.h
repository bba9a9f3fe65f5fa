// What the add-in handed the host's AddIn object through SetAddInInfo, kept whole so tests can
// compare it field by field (the journal holds the same call as text).
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

namespace sehost {

// A SAFEARRAY as the host found it behind the pointer it was given.
struct SafeArrayRecord {
    bool present = false;        // both the pointer and the array it points to were non-null
    VARTYPE type = VT_EMPTY;     // SafeArrayGetVartype
    UINT dimensions = 0;
    LONG lowerBound = 0;         // of the first dimension
    LONG upperBound = -1;
    std::vector<std::string> texts;  // VT_BSTR elements as ANSI text
    std::vector<LONG> numbers;       // VT_I4 elements

    static SafeArrayRecord Of(SAFEARRAY* const* array);
};

struct AddInInfoCall {
    ULONG_PTR instance = 0;
    std::string environment;  // the environment category identifier
    std::string category;
    LONG bitmaps[4] = {};     // colour medium, colour large, monochrome medium, monochrome large
    LONG commandCount = 0;
    SafeArrayRecord names;
    SafeArrayRecord ids;
};

}  // namespace sehost
