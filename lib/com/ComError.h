// The one exception type of the add-in: a failed COM call, with the HRESULT and, for calls on
// interfaces that support it, the error information the callee left.
#pragma once

#include <objbase.h>
#include <oaidl.h>

#include "afx/CString.h"
#include "com/ComPtr.h"

class ComError {
public:
    ComError(HRESULT hr, const char* operation) : m_hr(hr), m_operation(operation) {}
    ComError(HRESULT hr, const char* operation, ComPtr<IErrorInfo> info)
        : m_hr(hr), m_operation(operation), m_info(std::move(info)) {}

    HRESULT Result() const noexcept { return m_hr; }
    const CString& Operation() const noexcept { return m_operation; }
    const ComPtr<IErrorInfo>& Info() const noexcept { return m_info; }

private:
    HRESULT m_hr;
    CString m_operation;     // what was being done, e.g. "reading the host's version"
    ComPtr<IErrorInfo> m_info;
};

// Raises a ComError for a failure code; returns success codes (S_OK, S_FALSE, ...) to the caller.
inline HRESULT ThrowIfFailed(HRESULT hr, const char* operation)
{
    if (FAILED(hr))
        throw ComError(hr, operation);
    return hr;
}

// As ThrowIfFailed, and takes the error information that `object` left for interface `iid`.
HRESULT ThrowIfFailedWithInfo(HRESULT hr, const char* operation, IUnknown* object, REFIID iid);

// "0x80004005 (Unspecified error)": the HRESULT with the system's text for it.
CString DescribeHResult(HRESULT hr);
