// The application object's name and profile, and the file dialog's set-up.
#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>
#include <string.h>

#include "afxdlgs.h"

namespace {

const char kTestKey[] = "Framework Test Corp.";
const char kTestApp[] = "wine_tests";  // this program's base name

// Deletes Software\<kTestKey> with its app and section keys (RegDeleteKeyA on NT leaves keys that
// have subkeys).
void DeleteTestKey(const char* app, const char* section) {
    char path[256];
    snprintf(path, sizeof path, "Software\\%s\\%s\\%s", kTestKey, app, section);
    RegDeleteKeyA(HKEY_CURRENT_USER, path);
    snprintf(path, sizeof path, "Software\\%s\\%s", kTestKey, app);
    RegDeleteKeyA(HKEY_CURRENT_USER, path);
    snprintf(path, sizeof path, "Software\\%s", kTestKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, path);
}

TEST(FrameworkApp, TheObjectIsFoundWhileItLives) {
    EXPECT_EQ(AfxGetApp(), nullptr);
    {
        CWinApp app;
        EXPECT_EQ(AfxGetApp(), &app);
        EXPECT_TRUE(app.Enable3dControlsStatic());
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
}

// The application is named by the executable's base name: the profile's key below shows it.
TEST(FrameworkApp, ProfileIntegersRoundTripThroughTheRegistry) {
    CWinApp app;
    app.SetRegistryKey(kTestKey);
    DeleteTestKey(kTestApp, "Control Pannel");

    EXPECT_EQ(app.GetProfileInt("Control Pannel", "Auto Check", 1), 1u) << "missing: the default";
    ASSERT_TRUE(app.WriteProfileInt("Control Pannel", "Auto Check", 2));
    EXPECT_EQ(app.GetProfileInt("Control Pannel", "Auto Check", 1), 2u);
    ASSERT_TRUE(app.WriteProfileInt("Control Pannel", "Auto Check", 0));
    EXPECT_EQ(app.GetProfileInt("Control Pannel", "Auto Check", 1), 0u);
    EXPECT_EQ(app.GetProfileInt("Control Pannel", "Other", 7), 7u);
    EXPECT_EQ(app.GetProfileInt("Other Section", "Auto Check", 7), 7u);

    // Where it lives: a REG_DWORD under HKCU\Software\<key>\<app>\<section>.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Framework Test Corp.\\wine_tests\\Control Pannel", 0,
                            KEY_READ | KEY_WRITE, &key),
              ERROR_SUCCESS);
    DWORD type = 0, value = 99, size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, "Auto Check", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 0u);
    // Text and short binary values read as their number; a value of another type reads as missing.
    RegSetValueExA(key, "Auto Check", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(" -12"), 5);
    EXPECT_EQ(app.GetProfileInt("Control Pannel", "Auto Check", 5), 0u - 12u);
    RegSetValueExA(key, "Auto Check", 0, REG_BINARY, reinterpret_cast<const BYTE*>("\x34\x12\x01"), 3);
    EXPECT_EQ(app.GetProfileInt("Control Pannel", "Auto Check", 5), 0x11234u);
    RegSetValueExA(key, "Auto Check", 0, REG_NONE, reinterpret_cast<const BYTE*>("\1\0\0\0"), 4);
    RegCloseKey(key);
    EXPECT_EQ(app.GetProfileInt("Control Pannel", "Auto Check", 5), 5u);

    DeleteTestKey(kTestApp, "Control Pannel");
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Framework Test Corp.", 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST(FrameworkApp, WithoutARegistryKeyThereIsNoProfile) {
    // The panel keeps its profile in the registry alone: without a key nothing is written anywhere.
    CWinApp app;
    char path[MAX_PATH];
    GetWindowsDirectoryA(path, MAX_PATH);
    strncat(path, "\\wine_tests.INI", MAX_PATH - strlen(path) - 1);
    DeleteFileA(path);

    EXPECT_FALSE(app.WriteProfileInt("Section", "Value", 42));
    EXPECT_EQ(app.GetProfileInt("Section", "Value", 3), 3u);
    EXPECT_EQ(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\wine_tests", 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST(FrameworkFileDialog, SetUpForWindows95) {
    CFileDialog dialog("*.bin", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "FirmWare File(*.bin)|*.bin|");
    EXPECT_EQ(dialog.m_ofn.lStructSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));
    EXPECT_EQ(dialog.m_ofn.lStructSize, 76u);
    ASSERT_NE(dialog.m_ofn.lpstrFilter, nullptr);
    EXPECT_EQ(memcmp(dialog.m_ofn.lpstrFilter, "FirmWare File(*.bin)\0*.bin\0", 28), 0);
    EXPECT_STREQ(dialog.m_ofn.lpstrFile, "*.bin");
    EXPECT_EQ(dialog.m_ofn.lpstrDefExt, nullptr);
    EXPECT_EQ(dialog.m_ofn.Flags & (OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT), 6u);
    EXPECT_STREQ(dialog.GetFileName(), "*.bin");

    CFileDialog unfiltered;
    EXPECT_EQ(unfiltered.m_ofn.lpstrFilter, nullptr);
    EXPECT_STREQ(unfiltered.GetPathName(), "");
}

// A user's choice in the real dialog: the path and name come back through DoModal.
HWND FindFileDialog() { return FindWindowA(nullptr, "Framework Test Open"); }

void CALLBACK ChooseFile(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindFileDialog();
    if (!dialog) return;  // not up yet: try on the next tick
    KillTimer(nullptr, id);
    // The explorer-style dialog's file-name box is edt1 or, newer, cmb13.
    HWND name = GetDlgItem(dialog, edt1);
    if (!name) name = GetDlgItem(dialog, cmb13);
    if (!name) {
        ADD_FAILURE() << "no file-name box";
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    SetWindowTextA(name, "chosen.94b");
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST(FrameworkFileDialog, DoModalReturnsThePathAndTheFileName) {
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, MAX_PATH);
    CString path = CString(dir) + "\\chosen.94b";
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);

    CFileDialog dialog("*.94b", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "SoundBank File(*.94b)|*.94b|");
    dialog.m_ofn.lpstrInitialDir = dir;
    dialog.m_ofn.lpstrTitle = "Framework Test Open";
    SetTimer(nullptr, 0, 50, ChooseFile);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_STREQ(dialog.GetFileName(), "chosen.94b");
    const CString chosen = dialog.GetPathName();
    EXPECT_STREQ(chosen.GetLength() > strlen(dir) ? chosen.c_str() + strlen(dir) : "", "\\chosen.94b");
    DeleteFileA(path);
}

}  // namespace

#include "../text_format_cases.h"
