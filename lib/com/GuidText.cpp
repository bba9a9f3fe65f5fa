#include "com/GuidText.h"

CString GuidRegistryForm(REFGUID id)
{
    LPOLESTR wide = nullptr;
    if (FAILED(StringFromCLSID(id, &wide)) || !wide)
        return CString();
    char text[64] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
    CoTaskMemFree(wide);
    return CString(text);
}
