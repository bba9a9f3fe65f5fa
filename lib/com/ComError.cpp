#include "com/ComError.h"

#include <windows.h>

HRESULT ThrowIfFailedWithInfo(HRESULT hr, const char* operation, IUnknown* object, REFIID iid)
{
    if (SUCCEEDED(hr))
        return hr;
    ComPtr<IErrorInfo> info;
    ComPtr<ISupportErrorInfo> support;
    if (object && SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(support.ReleaseAndGetAddressOf()))) &&
        support->InterfaceSupportsErrorInfo(iid) == S_OK)
        GetErrorInfo(0, info.ReleaseAndGetAddressOf());
    throw ComError(hr, operation, std::move(info));
}

CString DescribeHResult(HRESULT hr)
{
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ' || text[length - 1] == '.'))
        --length;
    CString result;
    if (length > 0)
        result.Format("0x%08lX (%.*s)", static_cast<unsigned long>(hr), static_cast<int>(length), text);
    else
        result.Format("0x%08lX", static_cast<unsigned long>(hr));
    if (text)
        LocalFree(text);
    return result;
}
