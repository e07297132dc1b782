// The restart on the real system. Windows 95/98 restarts for any program that asks; the NT family
// only for one that holds the shutdown privilege, whose functions Windows 95 lacks, so they are
// looked up by name, on the NT family alone.
#include <windows.h>

#include "restart.h"

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

// The question in a message box, and the restart.
class MessageBoxPrompt {
public:
    MessageBoxPrompt(HWND owner, const char* question, const char* caption)
        : m_owner(owner), m_question(question), m_caption(caption) {}
    bool AskToRestart() { return MessageBoxA(m_owner, m_question, m_caption, MB_YESNO | MB_ICONQUESTION) == IDYES; }
    // A program that refuses to close has told its user why.
    bool Restart() {
        // The high bit of GetVersion is set on Windows 95/98.
        if (!(GetVersion() & 0x80000000)) EnableShutdownPrivilege();
        return ExitWindowsEx(EWX_REBOOT, 0) != FALSE;
    }

private:
    HWND m_owner;
    const char* m_question;
    const char* m_caption;
};

}  // namespace

RestartOffer OfferRestart(HWND owner, const char* question, const char* caption, bool allSaved, bool nextBootChanged) {
    MessageBoxPrompt prompt(owner, question, caption);
    return OfferRestart(allSaved, nextBootChanged, prompt);
}
