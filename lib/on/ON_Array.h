// Dynamic arrays with OpenNURBS's public names and meanings.
//   ON_SimpleArray<T>: for trivially copyable T; elements are moved with memcpy.
//   ON_ClassArray<T>:  for any T; constructs, copies and destroys its elements.
// Both start empty (no storage), count with int and grow geometrically. Storage comes from
// malloc, so an array filled in one module may be destroyed in another of the same process.
#pragma once

#include <cassert>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>

namespace on_detail {

inline int GrownCapacity(int capacity, int needed)
{
    const int kMax = std::numeric_limits<int>::max();
    int grown = capacity < 8 ? 8 : (capacity > kMax / 2 ? kMax : capacity * 2);
    return grown > needed ? grown : needed;
}

inline void* AllocateElements(std::size_t count, std::size_t size)
{
    if (count != 0 && size > std::numeric_limits<std::size_t>::max() / count)
        throw std::bad_alloc();
    void* block = std::malloc(count * size);
    if (!block && count != 0)
        throw std::bad_alloc();
    return block;
}

}  // namespace on_detail

template <class T>
class ON_SimpleArray {
    static_assert(std::is_trivially_copyable<T>::value, "ON_SimpleArray holds trivially copyable elements");

public:
    ON_SimpleArray() noexcept = default;
    explicit ON_SimpleArray(std::size_t initialCapacity) { Reserve(initialCapacity); }
    ON_SimpleArray(const ON_SimpleArray& other) { *this = other; }
    ON_SimpleArray(ON_SimpleArray&& other) noexcept { Swap(other); }
    ~ON_SimpleArray() { Destroy(); }

    ON_SimpleArray& operator=(const ON_SimpleArray& other)
    {
        if (this != &other) {
            m_count = 0;
            Reserve(static_cast<std::size_t>(other.m_count));
            if (other.m_count)
                std::memcpy(static_cast<void*>(m_a), other.m_a, sizeof(T) * static_cast<std::size_t>(other.m_count));
            m_count = other.m_count;
        }
        return *this;
    }
    ON_SimpleArray& operator=(ON_SimpleArray&& other) noexcept
    {
        if (this != &other) {
            Destroy();
            Swap(other);
        }
        return *this;
    }

    int Count() const noexcept { return m_count; }
    unsigned int UnsignedCount() const noexcept { return static_cast<unsigned int>(m_count); }
    int Capacity() const noexcept { return m_capacity; }
    std::size_t SizeOfArray() const noexcept { return sizeof(T) * static_cast<std::size_t>(m_capacity); }

    T& operator[](int i) { assert(i >= 0 && i < m_count); return m_a[i]; }
    const T& operator[](int i) const { assert(i >= 0 && i < m_count); return m_a[i]; }
    T& operator[](std::size_t i) { assert(i < static_cast<std::size_t>(m_count)); return m_a[i]; }
    const T& operator[](std::size_t i) const { assert(i < static_cast<std::size_t>(m_count)); return m_a[i]; }

    T* Array() noexcept { return m_a; }
    const T* Array() const noexcept { return m_a; }
    T* At(int i) noexcept { return (i >= 0 && i < m_count) ? m_a + i : nullptr; }
    const T* At(int i) const noexcept { return (i >= 0 && i < m_count) ? m_a + i : nullptr; }
    T* First() noexcept { return m_count > 0 ? m_a : nullptr; }
    T* Last() noexcept { return m_count > 0 ? m_a + m_count - 1 : nullptr; }

    void Reserve(std::size_t capacity)
    {
        if (capacity > static_cast<std::size_t>(std::numeric_limits<int>::max()))
            throw std::bad_alloc();
        if (static_cast<int>(capacity) > m_capacity)
            SetCapacity(capacity);
    }

    // Changes the storage to exactly `capacity` elements, dropping elements past it.
    void SetCapacity(std::size_t capacity)
    {
        if (capacity > static_cast<std::size_t>(std::numeric_limits<int>::max()))
            throw std::bad_alloc();
        if (capacity == 0) {
            Destroy();
            return;
        }
        if (capacity > std::numeric_limits<std::size_t>::max() / sizeof(T))
            throw std::bad_alloc();
        void* block = std::realloc(static_cast<void*>(m_a), capacity * sizeof(T));
        if (!block)
            throw std::bad_alloc();
        m_a = static_cast<T*>(block);
        m_capacity = static_cast<int>(capacity);
        if (m_count > m_capacity)
            m_count = m_capacity;
    }

    // Sets the count within the capacity; new elements are left uninitialized, as in OpenNURBS.
    void SetCount(int count)
    {
        assert(count >= 0);
        if (count > m_capacity)
            Reserve(static_cast<std::size_t>(count));
        m_count = count;
    }

    T& AppendNew()
    {
        Grow();
        T* slot = m_a + m_count++;
        std::memset(static_cast<void*>(slot), 0, sizeof(T));
        return *slot;
    }
    void Append(const T& value)
    {
        if (m_count == m_capacity) {
            T copy = value;  // value may be an element of this array
            Grow();
            m_a[m_count++] = copy;
        } else {
            m_a[m_count++] = value;
        }
    }
    void Append(int count, const T* values)
    {
        if (count <= 0)
            return;
        if (m_count > std::numeric_limits<int>::max() - count)
            throw std::bad_alloc();
        if (m_count + count > m_capacity) {
            ON_SimpleArray copy;  // values may point into this array
            copy.SetCapacity(static_cast<std::size_t>(count));
            std::memcpy(static_cast<void*>(copy.m_a), values, sizeof(T) * static_cast<std::size_t>(count));
            Reserve(static_cast<std::size_t>(on_detail::GrownCapacity(m_capacity, m_count + count)));
            values = copy.m_a;
            std::memcpy(static_cast<void*>(m_a + m_count), values, sizeof(T) * static_cast<std::size_t>(count));
        } else {
            std::memmove(static_cast<void*>(m_a + m_count), values, sizeof(T) * static_cast<std::size_t>(count));
        }
        m_count += count;
    }

    void Remove() { if (m_count > 0) --m_count; }
    void Remove(int i)
    {
        assert(i >= 0 && i < m_count);
        std::memmove(static_cast<void*>(m_a + i), m_a + i + 1, sizeof(T) * static_cast<std::size_t>(m_count - i - 1));
        --m_count;
    }
    void Zero() { if (m_a) std::memset(static_cast<void*>(m_a), 0, SizeOfArray()); }
    void Empty() noexcept { m_count = 0; }
    void Destroy() noexcept
    {
        std::free(static_cast<void*>(m_a));
        m_a = nullptr;
        m_count = 0;
        m_capacity = 0;
    }
    void Shrink() { SetCapacity(static_cast<std::size_t>(m_count)); }

    void Swap(ON_SimpleArray& other) noexcept
    {
        std::swap(m_a, other.m_a);
        std::swap(m_count, other.m_count);
        std::swap(m_capacity, other.m_capacity);
    }

private:
    void Grow()
    {
        if (m_count == std::numeric_limits<int>::max())
            throw std::bad_alloc();
        if (m_count == m_capacity)
            SetCapacity(static_cast<std::size_t>(on_detail::GrownCapacity(m_capacity, m_count + 1)));
    }

    T* m_a = nullptr;
    int m_count = 0;
    int m_capacity = 0;
};

template <class T>
class ON_ClassArray {
public:
    ON_ClassArray() noexcept = default;
    explicit ON_ClassArray(std::size_t initialCapacity) { Reserve(initialCapacity); }
    ON_ClassArray(const ON_ClassArray& other) { *this = other; }
    ON_ClassArray(ON_ClassArray&& other) noexcept { Swap(other); }
    ~ON_ClassArray() { Destroy(); }

    ON_ClassArray& operator=(const ON_ClassArray& other)
    {
        if (this != &other) {
            ON_ClassArray copy;
            copy.Reserve(static_cast<std::size_t>(other.m_count));
            for (int i = 0; i < other.m_count; ++i)
                copy.Append(other.m_a[i]);
            Swap(copy);
        }
        return *this;
    }
    ON_ClassArray& operator=(ON_ClassArray&& other) noexcept
    {
        if (this != &other) {
            Destroy();
            Swap(other);
        }
        return *this;
    }

    int Count() const noexcept { return m_count; }
    unsigned int UnsignedCount() const noexcept { return static_cast<unsigned int>(m_count); }
    int Capacity() const noexcept { return m_capacity; }

    T& operator[](int i) { assert(i >= 0 && i < m_count); return m_a[i]; }
    const T& operator[](int i) const { assert(i >= 0 && i < m_count); return m_a[i]; }
    T& operator[](std::size_t i) { assert(i < static_cast<std::size_t>(m_count)); return m_a[i]; }
    const T& operator[](std::size_t i) const { assert(i < static_cast<std::size_t>(m_count)); return m_a[i]; }

    T* Array() noexcept { return m_a; }
    const T* Array() const noexcept { return m_a; }
    T* At(int i) noexcept { return (i >= 0 && i < m_count) ? m_a + i : nullptr; }
    const T* At(int i) const noexcept { return (i >= 0 && i < m_count) ? m_a + i : nullptr; }
    T* Last() noexcept { return m_count > 0 ? m_a + m_count - 1 : nullptr; }

    void Reserve(std::size_t capacity)
    {
        if (capacity > static_cast<std::size_t>(std::numeric_limits<int>::max()))
            throw std::bad_alloc();
        if (static_cast<int>(capacity) <= m_capacity)
            return;
        T* block = static_cast<T*>(on_detail::AllocateElements(capacity, sizeof(T)));
        for (int i = 0; i < m_count; ++i) {
            ::new (static_cast<void*>(block + i)) T(std::move(m_a[i]));
            m_a[i].~T();
        }
        std::free(static_cast<void*>(m_a));
        m_a = block;
        m_capacity = static_cast<int>(capacity);
    }

    T& AppendNew()
    {
        Grow();
        T* slot = ::new (static_cast<void*>(m_a + m_count)) T();
        ++m_count;
        return *slot;
    }
    void Append(const T& value)
    {
        if (m_count == m_capacity) {
            T copy(value);  // value may be an element of this array
            Grow();
            ::new (static_cast<void*>(m_a + m_count)) T(std::move(copy));
        } else {
            ::new (static_cast<void*>(m_a + m_count)) T(value);
        }
        ++m_count;
    }
    void Append(T&& value)
    {
        if (m_count == m_capacity) {
            T moved(std::move(value));
            Grow();
            ::new (static_cast<void*>(m_a + m_count)) T(std::move(moved));
        } else {
            ::new (static_cast<void*>(m_a + m_count)) T(std::move(value));
        }
        ++m_count;
    }

    void Remove()
    {
        if (m_count > 0)
            m_a[--m_count].~T();
    }
    void Remove(int i)
    {
        assert(i >= 0 && i < m_count);
        for (int k = i; k + 1 < m_count; ++k)
            m_a[k] = std::move(m_a[k + 1]);
        Remove();
    }

    // Destroys every element; keeps the storage.
    void Empty() noexcept
    {
        while (m_count > 0)
            m_a[--m_count].~T();
    }
    // Destroys every element and frees the storage.
    void Destroy() noexcept
    {
        Empty();
        std::free(static_cast<void*>(m_a));
        m_a = nullptr;
        m_capacity = 0;
    }

    void Swap(ON_ClassArray& other) noexcept
    {
        std::swap(m_a, other.m_a);
        std::swap(m_count, other.m_count);
        std::swap(m_capacity, other.m_capacity);
    }

private:
    void Grow()
    {
        if (m_count == std::numeric_limits<int>::max())
            throw std::bad_alloc();
        if (m_count == m_capacity)
            Reserve(static_cast<std::size_t>(on_detail::GrownCapacity(m_capacity, m_count + 1)));
    }

    T* m_a = nullptr;
    int m_count = 0;
    int m_capacity = 0;
};
