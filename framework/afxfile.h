// File status in the framework's style: CFile::GetStatus finds a file by name.
#pragma once
#include <windows.h>

#include "afxtime.h"

// What GetStatus reports about a file; times are local calendar times.
struct CFileStatus {
    CTime m_ctime;             // creation
    CTime m_mtime;             // last modification
    CTime m_atime;             // last access
    DWORD m_size = 0;          // size in bytes (low 32 bits)
    BYTE m_attribute = 0;      // FILE_ATTRIBUTE_ flags
    char m_szFullName[MAX_PATH] = {};  // the path as given
};

class CFile {
public:
    // Looks the file up by name (FindFirstFileA, no wildcards) and fills status; false when the
    // file is missing, the name is empty, too long or holds '*' or '?'.
    static bool GetStatus(const char* fileName, CFileStatus& status);
};
