#include "com/Bstr.h"

#include <windows.h>

#include "com/ComError.h"

Bstr::Bstr(const char* ansiText)
{
    const char* text = ansiText ? ansiText : "";
    int wideLength = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (wideLength <= 0)
        throw ComError(HRESULT_FROM_WIN32(GetLastError()), "converting a text for the host");
    m_b = SysAllocStringLen(nullptr, static_cast<UINT>(wideLength - 1));
    if (!m_b)
        throw ComError(E_OUTOFMEMORY, "converting a text for the host");
    MultiByteToWideChar(CP_ACP, 0, text, -1, m_b, wideLength);
}

CString BstrToAnsi(BSTR text)
{
    if (!text)
        return CString();
    int wideLength = static_cast<int>(SysStringLen(text));
    if (wideLength == 0)
        return CString();
    int length = WideCharToMultiByte(CP_ACP, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return CString();
    CString result;
    char* buffer = static_cast<char*>(CoTaskMemAlloc(static_cast<SIZE_T>(length)));
    if (!buffer)
        throw ComError(E_OUTOFMEMORY, "converting a text from the host");
    WideCharToMultiByte(CP_ACP, 0, text, wideLength, buffer, length, nullptr, nullptr);
    result = CString(buffer, length);
    CoTaskMemFree(buffer);
    return result;
}
