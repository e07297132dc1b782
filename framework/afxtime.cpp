#include "afxtime.h"

#include <time.h>

CTime::CTime(int year, int month, int day, int hour, int minute, int second)
    : m_year(year), m_month(month), m_day(day), m_hour(hour), m_minute(minute), m_second(second) {}

CString CTime::Format(const char* format) const {
    struct tm fields = {};
    fields.tm_year = m_year - 1900;
    fields.tm_mon = m_month > 0 ? m_month - 1 : 0;
    fields.tm_mday = m_day;
    fields.tm_hour = m_hour;
    fields.tm_min = m_minute;
    fields.tm_sec = m_second;
    fields.tm_isdst = -1;
    char text[256];
    size_t length = format ? strftime(text, sizeof text, format, &fields) : 0;
    return CString(text, length);
}
