// 8-bit string with value semantics: the subset of the framework's CString that the add-in and
// the mesh-file library use. Portable; one layout on every toolchain of the project, so it can
// cross the boundary between the add-in and the libraries it loads.
#pragma once

#include <cstdarg>
#include <cstddef>

// mingw builds use its C99 printf (__USE_MINGW_ANSI_STDIO), hence gnu_printf.
#if defined(__MINGW32__)
#define AFX_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#elif defined(__GNUC__)
#define AFX_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define AFX_PRINTF_FORMAT(fmt, args)
#endif

class CString {
public:
    CString() noexcept;
    CString(const char* text);  // null is the empty string
    CString(const char* text, int length);
    CString(const CString& other);
    CString(CString&& other) noexcept;
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const char* text);

    int GetLength() const noexcept { return m_length; }
    bool IsEmpty() const noexcept { return m_length == 0; }
    void Empty() noexcept;

    const char* GetString() const noexcept { return m_data; }
    operator const char*() const noexcept { return m_data; }
    char GetAt(int index) const;  // index must be in [0, GetLength())

    void Format(const char* format, ...) AFX_PRINTF_FORMAT(2, 3);
    void FormatV(const char* format, va_list args) AFX_PRINTF_FORMAT(2, 0);
    void AppendFormat(const char* format, ...) AFX_PRINTF_FORMAT(2, 3);

    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(char c);

    int Compare(const char* other) const noexcept;         // strcmp order
    int CompareNoCase(const char* other) const noexcept;   // ASCII case folding

    int Find(char c, int start = 0) const noexcept;         // -1 when absent
    int Find(const char* text, int start = 0) const noexcept;
    int ReverseFind(char c) const noexcept;
    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first, int count) const;
    CString Mid(int first) const;

private:
    void Assign(const char* text, int length);
    void Append(const char* text, int length);
    void Reserve(int capacity);

    char* m_data;    // never null; points at the shared empty text while m_capacity is 0
    int m_length;
    int m_capacity;  // bytes usable for characters, excluding the terminator
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);

inline bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
inline bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
inline bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
inline bool operator!=(const CString& a, const char* b) { return a.Compare(b) != 0; }
inline bool operator!=(const char* a, const CString& b) { return b.Compare(a) != 0; }
inline bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
