#include "afx/CString.h"

#include <cassert>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace {

char g_emptyText[1] = {0};

int CheckedLength(std::size_t length)
{
    if (length > static_cast<std::size_t>(INT_MAX / 2))
        throw std::bad_alloc();
    return static_cast<int>(length);
}

char FoldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

CString::CString() noexcept : m_data(g_emptyText), m_length(0), m_capacity(0) {}

CString::CString(const char* text) : CString()
{
    if (text)
        Assign(text, CheckedLength(std::strlen(text)));
}

CString::CString(const char* text, int length) : CString()
{
    if (text && length > 0)
        Assign(text, length);
}

CString::CString(const CString& other) : CString()
{
    Assign(other.m_data, other.m_length);
}

CString::CString(CString&& other) noexcept
    : m_data(other.m_data), m_length(other.m_length), m_capacity(other.m_capacity)
{
    other.m_data = g_emptyText;
    other.m_length = 0;
    other.m_capacity = 0;
}

CString::~CString()
{
    if (m_capacity > 0)
        std::free(m_data);
}

CString& CString::operator=(const CString& other)
{
    if (this != &other)
        Assign(other.m_data, other.m_length);
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other) {
        std::swap(m_data, other.m_data);
        std::swap(m_length, other.m_length);
        std::swap(m_capacity, other.m_capacity);
        other.Empty();
    }
    return *this;
}

CString& CString::operator=(const char* text)
{
    if (!text) {
        Empty();
        return *this;
    }
    // The text may point into this string's own buffer: copy through a temporary.
    CString copy(text);
    return *this = std::move(copy);
}

void CString::Empty() noexcept
{
    if (m_capacity > 0)
        std::free(m_data);
    m_data = g_emptyText;
    m_length = 0;
    m_capacity = 0;
}

char CString::GetAt(int index) const
{
    assert(index >= 0 && index < m_length);
    return m_data[index];
}

void CString::Reserve(int capacity)
{
    if (capacity <= m_capacity)
        return;
    int grown = m_capacity + m_capacity / 2;
    int newCapacity = capacity > grown ? capacity : grown;
    char* block = static_cast<char*>(std::malloc(static_cast<std::size_t>(newCapacity) + 1));
    if (!block)
        throw std::bad_alloc();
    std::memcpy(block, m_data, static_cast<std::size_t>(m_length) + 1);
    if (m_capacity > 0)
        std::free(m_data);
    m_data = block;
    m_capacity = newCapacity;
}

void CString::Assign(const char* text, int length)
{
    if (length == 0) {
        Empty();
        return;
    }
    if (length > m_capacity) {
        CString fresh;
        fresh.Reserve(length);
        fresh.Append(text, length);
        *this = std::move(fresh);
        return;
    }
    std::memmove(m_data, text, static_cast<std::size_t>(length));
    m_data[length] = 0;
    m_length = length;
}

void CString::Append(const char* text, int length)
{
    if (length <= 0)
        return;
    int total = CheckedLength(static_cast<std::size_t>(m_length) + static_cast<std::size_t>(length));
    if (total > m_capacity) {
        // The text may live in this buffer: take a copy before reallocating.
        CString copy(text, length);
        Reserve(total);
        std::memcpy(m_data + m_length, copy.m_data, static_cast<std::size_t>(length));
    } else {
        std::memmove(m_data + m_length, text, static_cast<std::size_t>(length));
    }
    m_length = total;
    m_data[m_length] = 0;
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args)
{
    CString result;
    va_list probe;
    va_copy(probe, args);
    int needed = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (needed > 0) {
        result.Reserve(CheckedLength(static_cast<std::size_t>(needed)));
        std::vsnprintf(result.m_data, static_cast<std::size_t>(needed) + 1, format, args);
        result.m_length = needed;
    }
    *this = std::move(result);
}

void CString::AppendFormat(const char* format, ...)
{
    CString tail;
    va_list args;
    va_start(args, format);
    tail.FormatV(format, args);
    va_end(args);
    Append(tail.m_data, tail.m_length);
}

CString& CString::operator+=(const CString& other)
{
    Append(other.m_data, other.m_length);
    return *this;
}

CString& CString::operator+=(const char* text)
{
    if (text)
        Append(text, CheckedLength(std::strlen(text)));
    return *this;
}

CString& CString::operator+=(char c)
{
    Append(&c, 1);
    return *this;
}

int CString::Compare(const char* other) const noexcept
{
    return std::strcmp(m_data, other ? other : "");
}

int CString::CompareNoCase(const char* other) const noexcept
{
    const char* a = m_data;
    const char* b = other ? other : "";
    for (;; ++a, ++b) {
        unsigned char ca = static_cast<unsigned char>(FoldCase(*a));
        unsigned char cb = static_cast<unsigned char>(FoldCase(*b));
        if (ca != cb || ca == 0)
            return ca < cb ? -1 : (ca > cb ? 1 : 0);
    }
}

int CString::Find(char c, int start) const noexcept
{
    if (start < 0 || start >= m_length)
        return -1;
    const void* hit = std::memchr(m_data + start, static_cast<unsigned char>(c), static_cast<std::size_t>(m_length - start));
    return hit ? static_cast<int>(static_cast<const char*>(hit) - m_data) : -1;
}

int CString::Find(const char* text, int start) const noexcept
{
    if (!text || start < 0 || start > m_length)
        return -1;
    const char* hit = std::strstr(m_data + start, text);
    return hit ? static_cast<int>(hit - m_data) : -1;
}

int CString::ReverseFind(char c) const noexcept
{
    for (int i = m_length - 1; i >= 0; --i)
        if (m_data[i] == c)
            return i;
    return -1;
}

CString CString::Left(int count) const
{
    if (count < 0)
        count = 0;
    return CString(m_data, count < m_length ? count : m_length);
}

CString CString::Right(int count) const
{
    if (count < 0)
        count = 0;
    if (count > m_length)
        count = m_length;
    return CString(m_data + m_length - count, count);
}

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (first > m_length)
        first = m_length;
    if (count < 0)
        count = 0;
    if (count > m_length - first)
        count = m_length - first;
    return CString(m_data + first, count);
}

CString CString::Mid(int first) const
{
    return Mid(first, m_length);
}

CString operator+(const CString& a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, const char* b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const char* a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, char b)
{
    CString result(a);
    result += b;
    return result;
}
