// The restart on the real system. Windows 95/98 restarts for any program that asks; the NT family
// only for one that holds the shutdown privilege, whose functions Windows 95 lacks, so they are
// looked up by name, on the NT family alone.
#include <windows.h>

#include "setting_logic.h"

namespace {

typedef BOOL(WINAPI* OpenProcessTokenFunction)(HANDLE, DWORD, PHANDLE);
typedef BOOL(WINAPI* AdjustTokenPrivilegesFunction)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES,
                                                    PDWORD);

// The shutdown privilege's fixed number on every NT system (SE_SHUTDOWN_PRIVILEGE).
const DWORD ShutdownPrivilege = 19;

// Enables the shutdown privilege of this process, which ExitWindowsEx needs on the NT family. Not
// called on Windows 95/98: no privilege is needed there, and its ADVAPI32 may offer the functions
// as stubs whose results say nothing.
void EnableShutdownPrivilege() {
    const HMODULE advapi = GetModuleHandleA("ADVAPI32");
    const auto openToken =
        reinterpret_cast<OpenProcessTokenFunction>(reinterpret_cast<void*>(GetProcAddress(advapi, "OpenProcessToken")));
    const auto adjust = reinterpret_cast<AdjustTokenPrivilegesFunction>(
        reinterpret_cast<void*>(GetProcAddress(advapi, "AdjustTokenPrivileges")));
    HANDLE token = nullptr;
    if (!openToken || !adjust || !openToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token) || !token) return;
    TOKEN_PRIVILEGES privileges = {1, {{{ShutdownPrivilege, 0}, SE_PRIVILEGE_ENABLED}}};
    adjust(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
}

}  // namespace

bool RestartWindows() {
    // The high bit of GetVersion is set on Windows 95/98.
    if (!(GetVersion() & 0x80000000)) EnableShutdownPrivilege();
    return ExitWindowsEx(EWX_REBOOT, 0) != FALSE;
}
