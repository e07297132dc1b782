#include "afxfile.h"

#include <string.h>
#include <windows.h>

namespace {

// A FILETIME (UTC) as a local calendar time; the zero time when it cannot be converted.
CTime LocalTime(const FILETIME& utc) {
    FILETIME local;
    SYSTEMTIME fields;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &fields)) return CTime();
    return CTime(fields.wYear, fields.wMonth, fields.wDay, fields.wHour, fields.wMinute, fields.wSecond);
}

}  // namespace

bool CFile::GetStatus(const char* fileName, CFileStatus& status) {
    if (!fileName || !*fileName || strlen(fileName) >= MAX_PATH || strpbrk(fileName, "*?")) return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(fileName, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    status.m_mtime = LocalTime(found.ftLastWriteTime);
    return true;
}
