// Drives the real Orrivan.exe from another process, the way a user meets it: it prepares the machine,
// starts the panel, finds its sheet by caption and reads what is on screen through window messages.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The language this run expects, from E2E_LANG ("en" or "ko").
enum class Lang { English, Korean };
Lang RunLanguage();
inline bool Korean() { return RunLanguage() == Lang::Korean; }

// A UTF-8 text in the ANSI code page of this process (code page 949 in the Korean run).
std::string Ansi(const char* utf8);
// An ANSI text as UTF-8, for readable failure messages.
std::string Utf8(const std::string& ansi);
// The caption of the sheet in the run's language, in ANSI.
std::string PanelCaption();

// The machine the panel runs on: the Windows directory C:\WINDOWS, an INI file there (or none), and a
// PCI configuration dump with the card at 00:09 beside a 440BX chipset.
void PrepareMachine(bool withIniFile);

// One started panel process. The destructor ends a process that is still running.
class PanelProcess {
public:
    PanelProcess() = default;
    ~PanelProcess();
    PanelProcess(const PanelProcess&) = delete;
    PanelProcess& operator=(const PanelProcess&) = delete;

    // Starts ORRIVAN_EXE with the CreateProcess flags given; false with *why filled when it cannot.
    bool Start(std::string* why, DWORD flags = 0);
    // Lets a process started with CREATE_SUSPENDED run.
    void Resume() { ResumeThread(pi_.hThread); }
    // Waits up to ms for the process to end, pumping this thread's messages meanwhile.
    bool WaitForExit(DWORD ms);
    bool Running() const;
    void Terminate();
    DWORD Pid() const { return pi_.dwProcessId; }
    HANDLE Handle() const { return pi_.hProcess; }

private:
    PROCESS_INFORMATION pi_{};
};

// Visible top-level windows of a process.
std::vector<HWND> VisibleWindowsOf(DWORD pid);
// Top-level windows (any process, visible or not) whose caption is exactly the given text.
std::vector<HWND> WindowsWithCaption(const std::string& caption);

// Waits for the panel's sheet (a window with the caption, owned by the process) and its first page.
HWND WaitForSheet(const PanelProcess& panel, DWORD timeoutMs, std::string* why);
// Presses Cancel and waits for the process to end; false (and the process ended by force) when the
// sheet does not close it in time.
bool CloseSheet(HWND sheet, PanelProcess& panel);

// Property sheet access across processes.
HWND CurrentPage(HWND sheet);
int CurrentPageIndex(HWND sheet);
bool SelectPage(HWND sheet, int index);
// The tab titles, read through memory allocated in the panel's process.
std::vector<std::string> TabTitles(HWND sheet, HANDLE process);

// Window text through WM_GETTEXT (crosses processes).
std::string TextOf(HWND hwnd);
// Entries of a combo box, in list order.
std::vector<std::string> ComboEntries(HWND combo);

// Creates the file anew with exactly these bytes; false when it cannot.
bool WriteWholeFile(const char* path, const std::string& data);
// The file's bytes, or "<missing>" when it cannot be opened.
std::string ReadWholeFile(const char* path);

// Saves the sheet as it is on screen to E2E_ARTIFACTS\name.bmp (when E2E_ARTIFACTS is set).
bool SaveScreenshot(HWND sheet, const char* name, std::string* why);

}  // namespace e2e
