// CString: the framework's small byte string (ANSI code page bytes, no wide form).
// Portable: no Win32 header, so the panel's logic can use it in native unit tests.
#pragma once
#include <stddef.h>

class CString {
public:
    // Constant: a global CString needs no code at start-up.
    constexpr CString() = default;
    CString(const char* text);
    CString(const char* text, size_t length);
    CString(const CString& other);
    CString(CString&& other) noexcept;
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const char* text);
    CString& operator+=(const char* text);
    CString& operator+=(const CString& other) { return *this += other.c_str(); }
    CString& operator+=(char ch);

    const char* c_str() const;
    operator const char*() const { return c_str(); }
    size_t GetLength() const { return m_length; }
    bool IsEmpty() const { return m_length == 0; }
    void Empty();

    // Formatting through FormatText (%s, %d, %u, %X with widths and '-'); at most FormatTextLimit
    // characters.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Index of the last occurrence of ch, or -1.
    int ReverseFind(char ch) const;
    // The first count characters (all of them when there are fewer).
    CString Left(size_t count) const;

    // Writable buffer of at least minLength bytes plus a terminator; call ReleaseBuffer after writing.
    char* GetBuffer(size_t minLength);
    void ReleaseBuffer();

private:
    void Assign(const char* text, size_t length);
    void Reserve(size_t capacity);

    char* m_data = nullptr;
    size_t m_length = 0;
    size_t m_capacity = 0;
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
inline bool operator!=(const CString& a, const char* b) { return !(a == b); }
CString operator+(const CString& a, const char* b);
