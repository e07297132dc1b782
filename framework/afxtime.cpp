#include "afxtime.h"

CTime::CTime(int year, int month, int day, int hour, int minute, int second)
    : m_year(year), m_month(month), m_day(day), m_hour(hour), m_minute(minute), m_second(second) {}

namespace {

// Appends value as at least `digits` decimal digits (a negative value as its magnitude).
void AppendNumber(CString& text, int value, int digits) {
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    char reversed[12];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    while (count < digits) reversed[count++] = '0';
    while (count) text += reversed[--count];
}

}  // namespace

CString CTime::Format(const char* format) const {
    // The conversions the panel's texts use, as strftime makes them; anything else stays as written.
    CString text;
    if (!format) return text;
    for (const char* p = format; *p; ++p) {
        if (*p != '%' || !p[1]) {
            text += *p;
            continue;
        }
        switch (*++p) {
        case 'd': AppendNumber(text, m_day, 2); break;
        case 'm': AppendNumber(text, m_month, 2); break;
        case 'y': AppendNumber(text, (m_year % 100 + 100) % 100, 2); break;
        case 'Y': AppendNumber(text, m_year, 1); break;
        case 'H': AppendNumber(text, m_hour, 2); break;
        case 'M': AppendNumber(text, m_minute, 2); break;
        case 'S': AppendNumber(text, m_second, 2); break;
        case '%': text += '%'; break;
        default:
            text += '%';
            text += *p;
            break;
        }
        if (text.GetLength() > 255) return CString();
    }
    return text;
}
