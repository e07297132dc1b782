// The settings through the platform's own stores: a real Tessan.ini and the real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "afxwin.h"
#include "settings.h"

namespace {

const char TestKey[] = "Tavish Corp. Store Test";
const char TestApp[] = "wine_tests";  // the application's name: this program's base name
const char WindowsDir[] = "C:\\settings-store-test";

std::string ReadFileBytes(const char* path) {
    std::string bytes;
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const char* path, const std::string& bytes) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

class PlatformStores : public ::testing::Test {
protected:
    void SetUp() override {
        app.SetRegistryKey(TestKey);
        CreateDirectoryA(WindowsDir, nullptr);
        DeleteFileA(iniPath.c_str());
        SetEnvironmentVariableA("winbootdir", WindowsDir);
        AppliedSettings = CardSettings();
        RegDeleteKeyA(HKEY_CURRENT_USER, sectionKey.c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableA("winbootdir", nullptr);
        DeleteFileA(iniPath.c_str());
        RemoveDirectoryA(WindowsDir);
        RegDeleteKeyA(HKEY_CURRENT_USER, sectionKey.c_str());
    }
    void LoadAll() {
        ComputeIniPath();
        LoadInstallPath();
        LoadFileSettings();
    }

    CWinApp app;
    const std::string iniPath = std::string(WindowsDir) + "\\Tessan.ini";
    const std::string sectionKey =
        std::string("Software\\") + TestKey + "\\" + TestApp + "\\Control Pannel";
};

TEST_F(PlatformStores, WithoutAnIniFileTheDefaultsLoad) {
    LoadAll();
    EXPECT_EQ(std::string(IniPath), iniPath);
    EXPECT_STREQ(InstallPath, "C:\\KESTRO");
    EXPECT_STREQ(AppliedSettings.firmwarePath, "PELKAD.BIN");
    EXPECT_STREQ(AppliedSettings.masterBankPath, "TORBEL08.94B");
    EXPECT_STREQ(AppliedSettings.slaveBankPath, "TORBEL08.94B");
}

TEST_F(PlatformStores, LowerCaseValuesLoadUpperCasedAndAreWrittenBackAsApplied) {
    WriteFileBytes(iniPath.c_str(),
                   "[Setup]\r\nPath=d:\\kestro\r\n[Tessan]\r\nFirmWare=c:\\fw\\pelkad.bin\r\n"
                   "Sound Font Bank Master=c:\\banks\\m.94b\r\nSound Font Bank Slave=s.94b\r\n");
    LoadAll();
    EXPECT_STREQ(InstallPath, "D:\\KESTRO");
    EXPECT_STREQ(AppliedSettings.firmwarePath, "C:\\FW\\PELKAD.BIN");
    EXPECT_STREQ(AppliedSettings.masterBankPath, "C:\\BANKS\\M.94B");
    EXPECT_STREQ(AppliedSettings.slaveBankPath, "S.94B");

    AppliedSettings.slaveBankPath = "C:\\100%\\%s.94B";
    const FileSettingsSave save = SaveFileSettings();
    EXPECT_EQ(save.saved, FileSettingsSaved::All);
    EXPECT_EQ(save.failure, SaveFailure::None);
    std::string ini = ReadFileBytes(iniPath.c_str());
    EXPECT_NE(ini.find("FirmWare=C:\\FW\\PELKAD.BIN"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Sound Font Bank Slave=C:\\100%\\%s.94B"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Path=d:\\kestro"), std::string::npos) << "the install path is never written";
}

TEST_F(PlatformStores, ValuesOfMoreThan255CharactersAreCutAndKeptInTheFile) {
    const std::string firmware(256, 'f'), master(255, 'm');
    WriteFileBytes(iniPath.c_str(), "[Tessan]\r\nFirmWare=" + firmware + "\r\nSound Font Bank Master=" + master +
                                        "\r\nSound Font Bank Slave=" + std::string(300, 's') + "\r\n");
    LoadAll();
    EXPECT_EQ(std::string(AppliedSettings.firmwarePath), std::string(255, 'F'));
    EXPECT_EQ(std::string(AppliedSettings.masterBankPath), std::string(255, 'M'));
    AppliedSettings.slaveBankPath = "C:\\S.94B";
    EXPECT_EQ(SaveFileSettings().saved, FileSettingsSaved::All);
    const std::string ini = ReadFileBytes(iniPath.c_str());
    EXPECT_NE(ini.find("FirmWare=" + firmware + "\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Master=" + std::string(255, 'M') + "\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Slave=C:\\S.94B\r\n"), std::string::npos) << ini;
}

TEST_F(PlatformStores, AutoCheckGoesToTheApplicationsRegistryKey) {
    LoadAutoCheck();
    EXPECT_STREQ(AppliedSettings.autoCheck, "1") << "a missing value loads as checked";

    AppliedSettings.autoCheck = "0";
    SaveAutoCheck();
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, sectionKey.c_str(), 0, KEY_READ | KEY_SET_VALUE, &key), ERROR_SUCCESS);
    DWORD value = 7, type = 0, size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, "Auto Check", nullptr, &type,
                               reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 0u);

    // As stored by the panel, by a setup file's AddReg (as many little-endian bytes as its line
    // lists) or as text read as atoi reads it; a value that holds no number keeps the default.
    const struct {
        DWORD type;
        std::string bytes;
        const char* loaded;
    } stored[] = {
        {REG_DWORD, std::string("\2\0\0\0", 4), "0"},  // any integer but 1 loads as cleared
        {REG_DWORD, std::string("\0", 1), "0"},
        {REG_BINARY, std::string("\0\0\0\0", 4), "0"},
        {REG_BINARY, std::string("\1\0\0\0", 4), "1"},
        {REG_BINARY, std::string("\0", 1), "0"},
        {REG_BINARY, std::string("\1", 1), "1"},
        {REG_BINARY, std::string("\0\0", 2), "0"},
        {REG_BINARY, std::string("\1\0", 2), "1"},
        {REG_BINARY, std::string("\0\1", 2), "0"},  // 256
        {REG_BINARY, std::string("\0\0\0", 3), "0"},
        {REG_BINARY, std::string("\1\0\0", 3), "1"},
        {REG_BINARY, std::string("\1\0\0\1", 4), "0"},
        {REG_BINARY, std::string(), "1"},
        {REG_BINARY, std::string("\0\0\0\0\0", 5), "1"},
        {REG_BINARY, std::string("\0\0\0\0\0\0\0\0", 8), "1"},
        {REG_NONE, std::string("\0\0\0\0", 4), "1"},
        {REG_SZ, std::string("0", 2), "0"},
        {REG_SZ, std::string("1", 2), "1"},
        {REG_SZ, std::string("0 ", 3), "0"},
        {REG_SZ, std::string(" 0", 3), "0"},
        {REG_SZ, std::string("+0", 3), "0"},
        {REG_SZ, std::string("\t\n\v\f\r +1x", 10), "1"},
        {REG_SZ, std::string(254, ' ') + std::string("0", 2), "0"},
        {REG_SZ, std::string(255, ' ') + std::string("0", 2), "1"},  // more than 255 characters
        {REG_SZ, std::string("-1", 3), "0"},
        {REG_SZ, std::string("01", 3), "1"},
        {REG_SZ, std::string("0", 1), "0"},  // stored without its terminator
        {REG_SZ, std::string("off", 4), "1"},
        {REG_SZ, std::string("+", 2), "1"},
        {REG_SZ, std::string("- 0", 4), "1"},
        {REG_SZ, std::string("\xA0" "0", 3), "1"},  // not a blank of the C library
        {REG_SZ, std::string(), "1"},
        {REG_EXPAND_SZ, std::string("0", 2), "0"},
        {REG_MULTI_SZ, std::string("0\0", 3), "0"},
        {REG_MULTI_SZ, std::string("1\0" "0\0", 5), "1"},  // the first string counts
        {REG_MULTI_SZ, std::string("\0" "0\0", 4), "1"},
    };
    for (const auto& c : stored) {
        RegSetValueExA(key, "Auto Check", 0, c.type, reinterpret_cast<const BYTE*>(c.bytes.data()),
                       static_cast<DWORD>(c.bytes.size()));
        AppliedSettings.autoCheck = "?";
        LoadAutoCheck();
        EXPECT_STREQ(AppliedSettings.autoCheck, c.loaded) << "type " << c.type << ", " << c.bytes.size() << " bytes";
    }
    RegCloseKey(key);
}

}  // namespace
