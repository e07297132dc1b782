// The restart on the real system. Windows 95/98 restarts any program that asks; the NT family only
// one that holds the shutdown privilege, whose functions Windows 95 lacks, so they are looked up
// there alone.
#include <windows.h>

#include "setting_logic.h"

namespace {

typedef BOOL(WINAPI* OpenProcessTokenFunction)(HANDLE, DWORD, PHANDLE);
typedef BOOL(WINAPI* LookupPrivilegeValueFunction)(LPCSTR, LPCSTR, PLUID);
typedef BOOL(WINAPI* AdjustTokenPrivilegesFunction)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES,
                                                    PDWORD);

// Enables the shutdown privilege of this process on the NT family; without it ExitWindowsEx fails.
void EnableShutdownPrivilege() {
    const HMODULE advapi = GetModuleHandleA("ADVAPI32");
    if (!advapi) return;
    const auto openToken = reinterpret_cast<OpenProcessTokenFunction>(GetProcAddress(advapi, "OpenProcessToken"));
    const auto lookup = reinterpret_cast<LookupPrivilegeValueFunction>(GetProcAddress(advapi, "LookupPrivilegeValueA"));
    const auto adjust =
        reinterpret_cast<AdjustTokenPrivilegesFunction>(GetProcAddress(advapi, "AdjustTokenPrivileges"));
    HANDLE token;
    if (!openToken || !lookup || !adjust ||
        !openToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (lookup(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
        adjust(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
}

}  // namespace

bool RestartWindows() {
    // The high bit of GetVersion is set on Windows 95/98.
    if (!(GetVersion() & 0x80000000)) EnableShutdownPrivilege();
    return ExitWindowsEx(EWX_REBOOT, 0) != FALSE;
}
