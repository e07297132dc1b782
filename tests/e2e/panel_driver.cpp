#include "panel_driver.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cstring>

namespace e2e {
namespace {

// Long enough for a slow first paint, short enough that a hung panel fails the test, not the run.
const UINT kMessageTimeoutMs = 5000;

// SendMessage that gives up on a hung or vanished receiver instead of blocking the driver.
bool Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &r)) return false;
    if (result) *result = static_cast<LRESULT>(r);
    return true;
}


// lspci -x of the test machine: 440BX host bridge at 00:00, PIIX4 at 00:07, the card at 00:09
// (functions 0 and 1) with I/O base 0x330 and interrupt 10.
const char kPciDump[] =
    "00:00.0 Host bridge: Intel Corporation 440BX/ZX/DX - 82443BX/ZX/DX Host bridge (rev 03)\n"
    "00: 86 80 90 71 06 01 10 22 03 00 00 06 00 40 00 00\n"
    "10: 08 00 00 e0 00 00 00 00 00 00 00 00 00 00 00 00\n"
    "20: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
    "30: 00 00 00 00 a0 00 00 00 00 00 00 00 00 00 00 00\n"
    "\n"
    "00:07.0 ISA bridge: Intel Corporation 82371AB/EB/MB PIIX4 ISA (rev 02)\n"
    "00: 86 80 10 71 0f 00 80 02 02 00 01 06 00 00 80 00\n"
    "10: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
    "20: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
    "30: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
    "\n"
    "00:09.0 Multimedia audio controller: Device 128e:0009 (rev 01)\n"
    "00: 8e 12 09 00 05 00 90 02 01 00 01 04 00 20 80 00\n"
    "10: 31 03 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
    "20: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
    "30: 00 00 00 00 00 00 00 00 00 00 00 00 0a 01 00 00\n"
    "\n"
    "00:09.1 Multimedia audio controller: Device 128e:0008 (rev 01)\n"
    "00: 8e 12 08 00 05 00 90 02 01 00 01 04 00 20 00 00\n"
    "10: 01 04 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
    "20: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
    "30: 00 00 00 00 00 00 00 00 00 00 00 00 0a 02 00 00\n";

const char kIniFile[] =
    "[Setup]\r\n"
    "Path=C:\\Kestro\r\n"
    "\r\n"
    "[Tessan]\r\n"
    "FirmWare=C:\\Kestro\\Util\\pelkad.bin\r\n"
    "Sound Font Bank Master=C:\\Kestro\\Util\\torbel08.94b\r\n"
    "Sound Font Bank Slave=C:\\Kestro\\Util\\torbel08.94b\r\n";

struct WindowSearch {
    DWORD pid;
    const std::string* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisibleOfPid(HWND hwnd, LPARAM lp) {
    WindowSearch* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid && IsWindowVisible(hwnd)) s->found.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectByCaption(HWND hwnd, LPARAM lp) {
    WindowSearch* s = reinterpret_cast<WindowSearch*>(lp);
    char text[512] = {0};
    GetWindowTextA(hwnd, text, sizeof text);
    if (*s->caption == text) s->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

Lang RunLanguage() {
    char value[16] = {0};
    GetEnvironmentVariableA("E2E_LANG", value, sizeof value);
    return lstrcmpiA(value, "ko") == 0 ? Lang::Korean : Lang::English;
}

std::string Ansi(const char* utf8) {
    wchar_t wide[1024];
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 1024);
    if (n <= 0) return std::string();
    char out[2048];
    const int m = WideCharToMultiByte(CP_ACP, 0, wide, -1, out, sizeof out, nullptr, nullptr);
    return m > 0 ? std::string(out) : std::string();
}

std::string Utf8(const std::string& ansi) {
    wchar_t wide[1024];
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, 1024);
    if (n <= 0) return ansi;
    char out[4096];
    const int m = WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, sizeof out, nullptr, nullptr);
    return m > 0 ? std::string(out) : ansi;
}

std::string PanelCaption() {
    return Ansi(Korean() ? "Quenley Zentaro 제어판" : "Quenley Zentaro Control Pannel");
}

void PrepareMachine(bool withIniFile) {
    CreateDirectoryA("C:\\e2e", nullptr);
    WriteWholeFile("C:\\e2e\\pci.txt", kPciDump);
    if (withIniFile)
        WriteWholeFile("C:\\WINDOWS\\Tessan.ini", kIniFile);
    else
        DeleteFileA("C:\\WINDOWS\\Tessan.ini");
    // The panel inherits these; winbootdir is what Windows 95/98 sets to the Windows directory.
    SetEnvironmentVariableA("winbootdir", "C:\\WINDOWS");
    SetEnvironmentVariableA("PCI_CONFIG_DUMP", "C:\\e2e\\pci.txt");
}

PanelProcess::~PanelProcess() {
    if (pi_.hProcess) {
        if (Running()) Terminate();
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
}

bool PanelProcess::Start(std::string* why, DWORD flags) {
    char exe[MAX_PATH] = {0};
    if (!GetEnvironmentVariableA("ORRIVAN_EXE", exe, sizeof exe)) {
        *why = "ORRIVAN_EXE is not set";
        return false;
    }
    char command[MAX_PATH + 3];
    snprintf(command, sizeof command, "\"%s\"", exe);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(exe, command, nullptr, nullptr, FALSE, flags, nullptr, nullptr, &si, &pi_)) {
        *why = std::string("CreateProcess failed for ") + exe + ", error " + std::to_string(GetLastError());
        pi_ = PROCESS_INFORMATION{};
        return false;
    }
    return true;
}

bool PanelProcess::WaitForExit(DWORD ms) {
    if (!pi_.hProcess) return true;
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        const DWORD now = GetTickCount();
        const DWORD left = static_cast<int>(end - now) > 0 ? end - now : 0;
        const DWORD r = MsgWaitForMultipleObjects(1, &pi_.hProcess, FALSE, left, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) return true;
        if (r != WAIT_OBJECT_0 + 1) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
}

bool PanelProcess::Running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

void PanelProcess::Terminate() {
    if (!pi_.hProcess) return;
    TerminateProcess(pi_.hProcess, 99);
    WaitForSingleObject(pi_.hProcess, 5000);
}

std::vector<HWND> VisibleWindowsOf(DWORD pid) {
    WindowSearch s{pid, nullptr, {}};
    EnumWindows(CollectVisibleOfPid, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::vector<HWND> WindowsWithCaption(const std::string& caption) {
    WindowSearch s{0, &caption, {}};
    EnumWindows(CollectByCaption, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND WaitForSheet(const PanelProcess& panel, DWORD timeoutMs, std::string* why) {
    const std::string caption = PanelCaption();
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        for (HWND w : WindowsWithCaption(caption)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid != panel.Pid() || !IsWindowVisible(w)) continue;
            if (CurrentPage(w)) return w;
        }
        if (!panel.Running()) {
            DWORD code = 0;
            GetExitCodeProcess(panel.Handle(), &code);
            *why = "the panel ended (exit code " + std::to_string(code) + ") before a window titled \"" +
                   Utf8(caption) + "\" with a page appeared";
            return nullptr;
        }
        Sleep(100);
    }
    std::string seen;
    for (HWND w : VisibleWindowsOf(panel.Pid())) {
        char text[256] = {0};
        GetWindowTextA(w, text, sizeof text);
        seen += " \"" + Utf8(text) + "\"";
    }
    *why = "no window titled \"" + Utf8(caption) + "\" with a page appeared within " +
           std::to_string(timeoutMs) + " ms; the panel's visible windows:" + (seen.empty() ? " none" : seen);
    return nullptr;
}

bool CloseSheet(HWND sheet, PanelProcess& panel) {
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    if (panel.WaitForExit(10000)) return true;
    panel.Terminate();
    return false;
}

HWND CurrentPage(HWND sheet) {
    LRESULT r = 0;
    return Send(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, &r) ? reinterpret_cast<HWND>(r) : nullptr;
}

int CurrentPageIndex(HWND sheet) {
    HWND page = CurrentPage(sheet);
    LRESULT r = -1;
    if (!page || !Send(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0, &r)) return -1;
    return static_cast<int>(r);
}

bool SelectPage(HWND sheet, int index) {
    LRESULT r = 0;
    if (!Send(sheet, PSM_SETCURSEL, index, 0, &r) || !r) return false;
    Send(sheet, WM_NULL, 0, 0, nullptr);  // the page has handled its activation once this returns
    return CurrentPageIndex(sheet) == index;
}

std::vector<std::string> TabTitles(HWND sheet, HANDLE process) {
    std::vector<std::string> titles;
    LRESULT r = 0;
    if (!Send(sheet, PSM_GETTABCONTROL, 0, 0, &r) || !r) return titles;
    HWND tab = reinterpret_cast<HWND>(r);
    LRESULT count = 0;
    if (!Send(tab, TCM_GETITEMCOUNT, 0, 0, &count)) return titles;

    // TCM_GETITEMA is not marshalled between processes: the item and its text buffer must live in
    // the panel's address space.
    const int kText = 256;
    char* remote = static_cast<char*>(
        VirtualAllocEx(process, nullptr, sizeof(TCITEMA) + kText, MEM_COMMIT, PAGE_READWRITE));
    if (!remote) return titles;
    for (int i = 0; i < count; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = remote + sizeof(TCITEMA);
        item.cchTextMax = kText;
        char text[kText] = {0};
        SIZE_T n = 0;
        WriteProcessMemory(process, remote, &item, sizeof item, &n);
        WriteProcessMemory(process, remote + sizeof(TCITEMA), text, kText, &n);
        LRESULT ok = 0;
        if (Send(tab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(remote), &ok) && ok &&
            ReadProcessMemory(process, remote + sizeof(TCITEMA), text, kText, &n)) {
            text[kText - 1] = 0;
            titles.push_back(text);
        } else {
            titles.push_back("<unreadable>");
        }
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return titles;
}

std::string TextOf(HWND hwnd) {
    char text[1024] = {0};
    Send(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), nullptr);
    text[sizeof text - 1] = 0;
    return text;
}

std::vector<std::string> ComboEntries(HWND combo) {
    std::vector<std::string> entries;
    LRESULT count = 0;
    if (!Send(combo, CB_GETCOUNT, 0, 0, &count) || count < 0) return entries;
    for (int i = 0; i < count; ++i) {
        // Wine marshals only the first character of an "A" CB_GETLBTEXT between processes; the
        // wide form comes back whole.
        WCHAR wide[256] = {0};
        DWORD_PTR len = 0;
        if (!SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &len) ||
            static_cast<LRESULT>(len) < 0 || len >= 256 ||
            !SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG,
                                 kMessageTimeoutMs, nullptr)) {
            entries.push_back("<unreadable>");
            continue;
        }
        char text[512] = {0};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        entries.push_back(text);
    }
    return entries;
}

bool SaveScreenshot(HWND sheet, const char* name, std::string* why) {
    char dir[MAX_PATH] = {0};
    if (!GetEnvironmentVariableA("E2E_ARTIFACTS", dir, sizeof dir)) return true;  // not asked for
    // The sheet has painted once every message sent before this one has been handled.
    Send(sheet, WM_NULL, 0, 0, nullptr);
    Sleep(500);

    // The client area: without a window manager the frame is never painted.
    RECT r{};
    GetClientRect(sheet, &r);
    MapWindowPoints(sheet, nullptr, reinterpret_cast<POINT*>(&r), 2);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) {
        *why = "the sheet has no size";
        return false;
    }
    // Copy from the screen, not from the window: the sheet belongs to another process, and the screen
    // is what the user sees.
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;  // bottom-up, as a .bmp stores it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    const bool copied = BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(mem, old);

    const DWORD stride = ((w * 3) + 3) & ~3u;
    const DWORD imageSize = stride * h;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;  // "BM"
    fh.bfOffBits = sizeof fh + sizeof(BITMAPINFOHEADER);
    fh.bfSize = fh.bfOffBits + imageSize;
    const std::string path = std::string(dir) + "\\" + name + ".bmp";
    bool ok = false;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (copied && bits && f != INVALID_HANDLE_VALUE) {
        DWORD n = 0;
        ok = WriteFile(f, &fh, sizeof fh, &n, nullptr) &&
             WriteFile(f, &bi.bmiHeader, sizeof(BITMAPINFOHEADER), &n, nullptr) &&
             WriteFile(f, bits, imageSize, &n, nullptr);
    }
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    // A capture of one colour means the screen was not readable, not that the sheet is plain.
    bool plain = true;
    const unsigned char* px = static_cast<const unsigned char*>(bits);
    for (DWORD i = 3; px && plain && i < imageSize; ++i) plain = px[i] == px[i % 3];
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    if (!ok) *why = "could not write " + path;
    if (ok && plain) *why = path + " holds one colour only";
    return ok && !plain;
}

bool WriteWholeFile(const char* path, const std::string& data) {
    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
                    written == data.size();
    CloseHandle(f);
    return ok;
}

std::string ReadWholeFile(const char* path) {
    std::string data;
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return "<missing>";
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n > 0) data.append(buffer, n);
    CloseHandle(f);
    return data;
}

}  // namespace e2e
