// File status in the framework's style: CFile::GetStatus finds a file by name.
#pragma once
#include "afxtime.h"

// What GetStatus reports about a file.
struct CFileStatus {
    CTime m_mtime;  // last modification, as a local calendar time
};

class CFile {
public:
    // Looks the file up by name (FindFirstFileA, no wildcards) and fills status; false when the
    // file is missing, the name is empty, too long or holds '*' or '?'.
    static bool GetStatus(const char* fileName, CFileStatus& status);
};
