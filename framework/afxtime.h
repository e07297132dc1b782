// CTime: a local calendar time with strftime-style formatting of its own (no C runtime).
// Portable: no Win32 header.
#pragma once
#include "cstring.h"

class CTime {
public:
    // The zero time (all fields 0): Format gives zeros for every field.
    CTime() = default;
    // A local calendar time: year (e.g. 1999), month 1-12, day 1-31, hour, minute, second.
    CTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

    // The time formatted as strftime does for %d %m %y %Y %H %M %S and %%, e.g. "%d/%m/%y" gives
    // "17/09/99"; other conversions stay as written. Empty when the result would exceed 255 bytes.
    CString Format(const char* format) const;

private:
    int m_year = 0, m_month = 0, m_day = 0, m_hour = 0, m_minute = 0, m_second = 0;
};
