// The settings' platform stores: the environment, the INI file through the profile-string
// functions, and the registry through the application's profile integers.
#include <windows.h>

#include <string.h>

#include "afxwin.h"
#include "settings.h"

namespace {

class Win32SettingsStore : public SettingsStore {
public:
    CString WindowsDirectory() override {
        char buffer[SettingTextLimit + 1];
        ReadWindowsDirectory(buffer);
        return CString(buffer);
    }
    CString ReadIniString(const char* path, const char* section, const char* key,
                          const char* defaultValue) override {
        // Two characters more than a setting keeps: a longer value still comes back longer than
        // that when the cut drops half a double-byte character.
        char buffer[SettingTextLimit + 3] = {};
        GetPrivateProfileStringA(section, key, defaultValue, buffer, sizeof buffer, path);
        return CString(buffer);
    }
    SaveFailure WriteIniString(const char* path, const char* section, const char* key,
                               const char* value) override {
        // The profile functions may keep a write to a read-only file in their cache and report success.
        if (IsReadOnlyFile(path)) return SaveFailure::ReadOnly;
        if (WritePrivateProfileStringA(section, key, value, path)) return SaveFailure::None;
        return SaveFailureOfError(GetLastError(), path);
    }
    SaveFailure FlushIni(const char* path) override {
        SetLastError(ERROR_SUCCESS);
        if (WritePrivateProfileStringA(nullptr, nullptr, nullptr, path)) return SaveFailure::None;
        // Wine answers every flush with FALSE, and sets an error only when the write failed.
        const DWORD error = GetLastError();
        return error == ERROR_SUCCESS ? SaveFailure::None : SaveFailureOfError(error, path);
    }
    int ReadProfileInt(const char* section, const char* entry, int defaultValue) override {
        return static_cast<int>(AfxGetApp()->GetProfileInt(section, entry, defaultValue));
    }
    void WriteProfileInt(const char* section, const char* entry, int value) override {
        AfxGetApp()->WriteProfileInt(section, entry, value);
    }
    LeadBytePredicate LeadBytes() override { return AfxIsLeadByte; }
};

Win32SettingsStore TheStore;

}  // namespace

SettingsStore& PlatformSettingsStore() { return TheStore; }

bool ReadWindowsDirectory(char (&buffer)[SettingTextLimit + 1]) {
    memset(buffer, 0, sizeof buffer);
    const DWORD length = GetEnvironmentVariableA("winbootdir", buffer, sizeof buffer);
    if (length < sizeof buffer) return true;  // 0 when missing: the buffer stays zeroed
    memset(buffer, 0, sizeof buffer);
    return false;
}
