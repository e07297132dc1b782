// The boot-file update on a real C:\AUTOEXEC.BAT in the Wine prefix (C: is the prefix's drive_c).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "bootfile.h"
#include "settings.h"

namespace {

bool Exists(const char* path) { return GetFileAttributesA(path) != 0xFFFFFFFF; }

void WriteFileBytes(const char* path, const std::string& bytes) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL));
    EXPECT_EQ(written, bytes.size());
    CloseHandle(file);
}

std::string ReadFileBytes(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(file, buffer, sizeof buffer, &count, NULL) && count > 0) bytes.append(buffer, count);
    CloseHandle(file);
    return bytes;
}

// Spare names the update left behind (none after any outcome but a failed rollback).
std::string SpareFiles() {
    std::string found;
    for (unsigned i = 0; i < BootSpareNameCount; ++i) {
        char name[BootNameSize];
        BootNewFileName(i, name);
        if (Exists(name)) found += std::string(name) + " ";
        BootBackupFileName(i, name);
        if (Exists(name)) found += std::string(name) + " ";
    }
    return found;
}

class BootFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        m_hadBootFile = Exists(BootFilePath);
        if (m_hadBootFile) {
            m_savedBootFile = ReadFileBytes(BootFilePath);
            m_savedAttributes = GetFileAttributesA(BootFilePath);
            SetFileAttributesA(BootFilePath, FILE_ATTRIBUTE_NORMAL);
        }
        char value[256] = {0};
        m_hadBootDirectory = GetEnvironmentVariableA("winbootdir", value, sizeof value) != 0;
        m_savedBootDirectory = value;
        SetEnvironmentVariableA("winbootdir", "C:\\WINDOWS");
        m_savedSettings = AppliedSettings;
        // No card answers: every value applied is on the tool's line.
        m_hadDump = GetEnvironmentVariableA("PCI_CONFIG_DUMP", m_dump, sizeof m_dump) != 0;
        SetEnvironmentVariableA("PCI_CONFIG_DUMP", NULL);
    }
    void TearDown() override {
        SetFileAttributesA(BootFilePath, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(BootFilePath);
        if (m_hadBootFile) {
            WriteFileBytes(BootFilePath, m_savedBootFile);
            SetFileAttributesA(BootFilePath, m_savedAttributes);
        }
        SetEnvironmentVariableA("winbootdir", m_hadBootDirectory ? m_savedBootDirectory.c_str() : NULL);
        AppliedSettings = m_savedSettings;
        if (m_hadDump) SetEnvironmentVariableA("PCI_CONFIG_DUMP", m_dump);
    }

    // Applies the interrupt and address texts with Auto Detect as given; why the boot file was not
    // saved, or None.
    SaveFailure Apply(const char* irq, const char* port, bool autoDetect) {
        AppliedSettings.irq = irq;
        AppliedSettings.port = port;
        BootSaveReport report;
        ApplyBootSettings(autoDetect, report);
        return report.failure.reason;
    }

private:
    bool m_hadDump = false;
    char m_dump[MAX_PATH] = {};
    bool m_hadBootFile = false;
    std::string m_savedBootFile;
    DWORD m_savedAttributes = 0;
    bool m_hadBootDirectory = false;
    std::string m_savedBootDirectory;
    CardSettings m_savedSettings;
};

TEST_F(BootFileOnDisk, RewritesTheToolsLineAndKeepsTheRest) {
    DeleteFileA(BootFilePath);
    WriteFileBytes("c:\\autoexec.bat", "path c:\\windows\r\nc:\\windows\\kestro dirq=5\r\nset temp=c:\\temp\r\n\x1A");
    EXPECT_EQ(Apply("", "", true), SaveFailure::None);
    EXPECT_EQ(ReadFileBytes(BootFilePath), "path c:\\windows\r\nC:\\WINDOWS\\KESTRO.EXE\r\nset temp=c:\\temp\r\n");
    EXPECT_EQ(SpareFiles(), "");
    // The name on the disk is the upper-case 8.3 one, whatever case the old file had.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(BootFilePath, &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    EXPECT_STREQ(found.cFileName, "AUTOEXEC.BAT");
}

TEST_F(BootFileOnDisk, AddsTheCommandBuiltFromWinbootdir) {
    SetEnvironmentVariableA("winbootdir", "D:\\WIN98");
    WriteFileBytes(BootFilePath, "@echo off\r\nprompt $p$g");
    EXPECT_EQ(Apply(" 5", "340", false), SaveFailure::None);
    EXPECT_EQ(ReadFileBytes(BootFilePath), "@echo off\r\nprompt $p$g\r\nD:\\WIN98\\KESTRO DIRQ=5  DREAM=340\r\n");
    EXPECT_EQ(SpareFiles(), "");
    BootToolOptions options = ReadBootToolOptions();
    EXPECT_STREQ(options.irq.c_str(), " 5");
    EXPECT_STREQ(options.port.c_str(), "340");
}

TEST_F(BootFileOnDisk, ReadingFollowsTheSystemCodePage) {
    // 0x95 leads a double-byte character in code page 949, which takes the '|' as its trail byte;
    // elsewhere the '|' is a pipe into the tool.
    WriteFileBytes(BootFilePath, "echo \x95|kestro\r\n");
    EXPECT_EQ(Apply("", "", true), SaveFailure::None);
    const char* expected = GetACP() == 949 ? "echo \x95|kestro\r\nC:\\WINDOWS\\KESTRO.EXE\r\n"
                                           : "echo \x95|C:\\WINDOWS\\KESTRO.EXE\r\n";
    EXPECT_EQ(ReadFileBytes(BootFilePath), expected) << "code page " << GetACP();
}

TEST_F(BootFileOnDisk, MissingBootFileStaysMissing) {
    DeleteFileA(BootFilePath);
    EXPECT_EQ(Apply("10", "", false), SaveFailure::None);
    EXPECT_FALSE(Exists(BootFilePath));
    EXPECT_EQ(SpareFiles(), "");
}

TEST_F(BootFileOnDisk, TheFileThatRefusedIsNamedAndAFolderIsNoBackup) {
    // Read-only files of the user's under every new name: the last one tried is named.
    WriteFileBytes(BootFilePath, "rem\r\n");
    char name[BootNameSize];
    for (unsigned i = 0; i < BootSpareNameCount; ++i) {
        BootNewFileName(i, name);
        WriteFileBytes(name, "mine\r\n");
        SetFileAttributesA(name, FILE_ATTRIBUTE_READONLY);
    }
    BootSaveReport refused;
    ApplyBootSettings(true, refused);
    EXPECT_EQ(refused.failure.reason, SaveFailure::ReadOnly);
    EXPECT_STREQ(refused.failure.subject, "C:\\AUTOEXEC.KN9");
    EXPECT_EQ(ReadFileBytes(BootFilePath), "rem\r\n");
    for (unsigned i = 0; i < BootSpareNameCount; ++i) {
        BootNewFileName(i, name);
        SetFileAttributesA(name, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(name);
    }

    // A folder under a backup name never takes the missing boot file's place: the line is offered,
    // and the boot file created on request.
    DeleteFileA(BootFilePath);
    BootBackupFileName(0, name);
    ASSERT_TRUE(CreateDirectoryA(name, NULL));
    BootSaveReport offered;
    ApplyBootSettings(true, offered);
    EXPECT_FALSE(Exists(BootFilePath));
    EXPECT_STREQ(offered.newFileLine, "C:\\WINDOWS\\KESTRO.EXE");
    ApplyBootSettings(true, offered, MissingBootFile::Create);
    EXPECT_EQ(offered.failure.reason, SaveFailure::None);
    EXPECT_EQ(ReadFileBytes(BootFilePath), "C:\\WINDOWS\\KESTRO.EXE\r\n");
    EXPECT_NE(GetFileAttributesA(name) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    RemoveDirectoryA(name);
}

TEST_F(BootFileOnDisk, ReadOnlyBootFileIsLeftAlone) {
    const std::string contents = "c:\\windows\\kestro dirq=5\r\n";
    WriteFileBytes(BootFilePath, contents);
    SetFileAttributesA(BootFilePath, FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Apply("", "", true), SaveFailure::ReadOnly);
    EXPECT_EQ(ReadFileBytes(BootFilePath), contents);
    EXPECT_TRUE(GetFileAttributesA(BootFilePath) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(SpareFiles(), "");
}

TEST_F(BootFileOnDisk, AnInterruptedUpdateIsPutRight) {
    // Cut off between the old file stepping aside and the new one taking its name.
    char newName[BootNameSize], backupName[BootNameSize];
    BootNewFileName(0, newName);
    BootBackupFileName(0, backupName);
    DeleteFileA(BootFilePath);
    WriteFileBytes(backupName, "kestro\r\n");
    WriteFileBytes(newName, "C:\\WINDOWS\\KES");
    EXPECT_EQ(Apply("10", "", false), SaveFailure::None);
    EXPECT_EQ(ReadFileBytes(BootFilePath), "C:\\WINDOWS\\KESTRO DIRQ=10\r\n");
    EXPECT_EQ(SpareFiles(), "");
}

TEST_F(BootFileOnDisk, ApplyComparesWithTheProbeWhichFindsNoCardUnderWine) {
    WriteFileBytes(BootFilePath, "lh c:\\windows\\kestro.exe\r\n");
    EXPECT_EQ(Apply("10", "340", false), SaveFailure::None);
    EXPECT_EQ(ReadFileBytes(BootFilePath), "lh C:\\WINDOWS\\KESTRO DIRQ=10 DREAM=340\r\n");
}

}  // namespace
