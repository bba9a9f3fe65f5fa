// A counted COM reference that releases itself.
#pragma once

#include <objbase.h>

#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference to `p` (AddRef); use Attach to adopt one already counted.
    explicit ComPtr(T* p) noexcept : m_p(p) { if (m_p) m_p->AddRef(); }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.m_p) {}
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other) noexcept
    {
        ComPtr copy(other);
        std::swap(m_p, copy.m_p);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        ComPtr moved(std::move(other));
        std::swap(m_p, moved.m_p);
        return *this;
    }

    static ComPtr Attach(T* counted) noexcept
    {
        ComPtr result;
        result.m_p = counted;
        return result;
    }
    T* Detach() noexcept { return std::exchange(m_p, nullptr); }
    void Reset() noexcept
    {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }

    T* Get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }
    // For out-parameters: releases what is held and hands out the slot.
    T** ReleaseAndGetAddressOf() noexcept
    {
        Reset();
        return &m_p;
    }

    // QueryInterface into another reference; returns the HRESULT.
    template <class U>
    HRESULT As(REFIID iid, ComPtr<U>& out) const noexcept
    {
        if (!m_p) {
            out.Reset();
            return E_POINTER;
        }
        return m_p->QueryInterface(iid, reinterpret_cast<void**>(out.ReleaseAndGetAddressOf()));
    }

private:
    T* m_p = nullptr;
};
