// CFile::GetStatus on real files.
#include <windows.h>

#include <gtest/gtest.h>

#include "afxfile.h"

namespace {

TEST(FrameworkFileStatus, ModificationTimeComesBackAsLocalCalendarTime) {
    char path[MAX_PATH];
    GetWindowsDirectoryA(path, MAX_PATH);
    strncat(path, "\\STATUS.TST", MAX_PATH - strlen(path) - 1);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    SYSTEMTIME local = {};
    local.wYear = 1999, local.wMonth = 9, local.wDay = 17, local.wHour = 12;
    FILETIME localTime, utc;
    ASSERT_TRUE(SystemTimeToFileTime(&local, &localTime));
    ASSERT_TRUE(LocalFileTimeToFileTime(&localTime, &utc));
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &utc));
    CloseHandle(file);

    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path, status));
    EXPECT_STREQ(status.m_mtime.Format("%d/%m/%y %H"), "17/09/99 12");
    DeleteFileA(path);

    EXPECT_FALSE(CFile::GetStatus(path, status)) << "a deleted file";
    EXPECT_FALSE(CFile::GetStatus("", status));
    EXPECT_FALSE(CFile::GetStatus("C:\\WINDOWS\\*.*", status)) << "no wildcards";
    char longName[600];
    memset(longName, 'a', sizeof longName - 1);
    longName[sizeof longName - 1] = '\0';
    EXPECT_FALSE(CFile::GetStatus(longName, status));
}

}  // namespace
