#include "tools/sehost/addin_info.h"

#include "com/Bstr.h"

namespace sehost {

SafeArrayRecord SafeArrayRecord::Of(SAFEARRAY* const* pointer)
{
    SafeArrayRecord record;
    SAFEARRAY* array = pointer ? *pointer : nullptr;
    if (!array)
        return record;
    record.present = true;
    SafeArrayGetVartype(array, &record.type);
    record.dimensions = SafeArrayGetDim(array);
    if (record.dimensions < 1 || FAILED(SafeArrayGetLBound(array, 1, &record.lowerBound)) ||
        FAILED(SafeArrayGetUBound(array, 1, &record.upperBound)))
        return record;
    if (record.dimensions != 1)
        return record;  // the bounds of the first dimension are all a record of a wrong shape needs
    for (LONG i = record.lowerBound; i <= record.upperBound; ++i) {
        if (record.type == VT_BSTR) {
            BSTR element = nullptr;
            if (SUCCEEDED(SafeArrayGetElement(array, &i, &element)))
                record.texts.push_back(BstrToAnsi(element).GetString());
            SysFreeString(element);
        } else if (record.type == VT_I4) {
            LONG element = 0;
            if (SUCCEEDED(SafeArrayGetElement(array, &i, &element)))
                record.numbers.push_back(element);
        }
    }
    return record;
}

}  // namespace sehost
