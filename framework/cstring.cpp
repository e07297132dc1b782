#include "cstring.h"

#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include "text_format.h"

CString::CString(const char* text) { Assign(text ? text : "", text ? strlen(text) : 0); }

CString::CString(const char* text, size_t length) { Assign(text, length); }

CString::CString(const CString& other) { Assign(other.c_str(), other.m_length); }

CString::CString(CString&& other) noexcept
    : m_data(other.m_data), m_length(other.m_length), m_capacity(other.m_capacity) {
    other.m_data = nullptr;
    other.m_length = other.m_capacity = 0;
}

// Kept out of line: inlined, its test for a string that never held text is repeated at each of
// some sixty uses in the program.
__attribute__((noinline)) const char* CString::c_str() const { return m_data ? m_data : ""; }

CString::~CString() { free(m_data); }

CString& CString::operator=(const CString& other) {
    if (this != &other) Assign(other.c_str(), other.m_length);
    return *this;
}

CString& CString::operator=(CString&& other) noexcept {
    if (this != &other) {
        free(m_data);
        m_data = other.m_data;
        m_length = other.m_length;
        m_capacity = other.m_capacity;
        other.m_data = nullptr;
        other.m_length = other.m_capacity = 0;
    }
    return *this;
}

CString& CString::operator=(const char* text) {
    // The source may live inside our own buffer (s = s.c_str() + 1), so copy through a temporary.
    CString copy(text);
    return *this = static_cast<CString&&>(copy);
}

CString& CString::operator+=(const char* text) {
    if (!text) return *this;
    CString suffix(text);  // text may point into our own buffer, which Reserve can move
    Reserve(m_length + suffix.m_length);
    memcpy(m_data + m_length, suffix.c_str(), suffix.m_length + 1);
    m_length += suffix.m_length;
    return *this;
}

CString& CString::operator+=(char ch) {
    Reserve(m_length + 1);
    m_data[m_length++] = ch;
    m_data[m_length] = '\0';
    return *this;
}

void CString::Empty() {
    m_length = 0;
    if (m_data) m_data[0] = '\0';
}

void CString::Format(const char* format, ...) {
    char text[FormatTextLimit + 1];
    va_list args;
    va_start(args, format);
    size_t length = FormatTextV(text, sizeof text, format, args);
    va_end(args);
    Assign(text, length);
}

int CString::ReverseFind(char ch) const {
    const char* hit = strrchr(c_str(), ch);
    return hit ? static_cast<int>(hit - c_str()) : -1;
}

CString CString::Left(size_t count) const {
    return CString(c_str(), count < m_length ? count : m_length);
}

char* CString::GetBuffer(size_t minLength) {
    Reserve(minLength > m_length ? minLength : m_length);
    return m_data;
}

void CString::ReleaseBuffer() {
    if (!m_data) return;
    m_data[m_capacity] = '\0';
    m_length = strlen(m_data);
}

void CString::Assign(const char* text, size_t length) {
    Reserve(length);
    memmove(m_data, text, length);
    m_data[length] = '\0';
    m_length = length;
}

void CString::Reserve(size_t capacity) {
    if (m_data && capacity <= m_capacity) return;
    size_t grown = m_capacity * 2 > capacity ? m_capacity * 2 : capacity;
    char* data = static_cast<char*>(realloc(m_data, grown + 1));
    if (!data) abort();
    if (!m_data) data[0] = '\0';
    m_data = data;
    m_capacity = grown;
}

bool operator==(const CString& a, const CString& b) {
    return a.GetLength() == b.GetLength() && memcmp(a.c_str(), b.c_str(), a.GetLength()) == 0;
}

bool operator==(const CString& a, const char* b) { return strcmp(a.c_str(), b ? b : "") == 0; }

CString operator+(const CString& a, const char* b) {
    CString result(a);
    result += b;
    return result;
}
