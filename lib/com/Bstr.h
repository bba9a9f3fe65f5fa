// Owners for BSTR, VARIANT and SAFEARRAY, and the 8-bit/BSTR conversions of the automation boundary.
#pragma once

#include <oaidl.h>
#include <oleauto.h>

#include <utility>

#include "afx/CString.h"

class Bstr {
public:
    Bstr() noexcept = default;
    explicit Bstr(const char* ansiText);  // converted with the ANSI code page; throws ComError(E_OUTOFMEMORY)
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : m_b(std::exchange(other.m_b, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept { std::swap(m_b, other.m_b); return *this; }
    ~Bstr() { SysFreeString(m_b); }

    static Bstr Attach(BSTR b) noexcept { Bstr r; r.m_b = b; return r; }
    BSTR Get() const noexcept { return m_b; }
    BSTR* ReleaseAndGetAddressOf() noexcept { SysFreeString(m_b); m_b = nullptr; return &m_b; }
    BSTR Detach() noexcept { return std::exchange(m_b, nullptr); }

private:
    BSTR m_b = nullptr;
};

// A null BSTR is the empty text.
CString BstrToAnsi(BSTR text);

class Variant {
public:
    Variant() noexcept { VariantInit(&m_v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&m_v); }

    VARIANT* Get() noexcept { return &m_v; }
    const VARIANT* Get() const noexcept { return &m_v; }
    VARIANT* operator->() noexcept { return &m_v; }
    const VARIANT* operator->() const noexcept { return &m_v; }
    void Clear() noexcept { VariantClear(&m_v); }

private:
    VARIANT m_v;
};

class SafeArray {
public:
    SafeArray() noexcept = default;
    explicit SafeArray(SAFEARRAY* owned) noexcept : m_a(owned) {}
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    ~SafeArray() { if (m_a) SafeArrayDestroy(m_a); }

    SAFEARRAY* Get() const noexcept { return m_a; }
    // The host may replace the array it is given by address; whatever is here then is ours to free.
    SAFEARRAY** GetAddressOf() noexcept { return &m_a; }

private:
    SAFEARRAY* m_a = nullptr;
};
