#include "afxwin.h"

#include <commctrl.h>

#include "filedialog_text.h"

namespace {

CWinApp* g_app = nullptr;

// The executable's file name without directory and extension ("Orrivan" for ...\ORRIVAN.EXE as
// the loader spells it).
CString ExecutableBaseName() {
    char path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return CString();
    CString name(path + FileNameOffset(path, AfxIsLeadByte));
    int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(static_cast<size_t>(dot)) : name;
}

// A profile number written as text, read as the C library's atoi reads it: blanks, an optional
// sign and decimal digits, up to the first other character; defaultValue when no digit comes.
UINT ParseProfileInt(const char* text, int defaultValue) {
    while (*text == ' ' || static_cast<unsigned char>(*text - '\t') <= '\r' - '\t') ++text;
    const bool negative = *text == '-';
    if (negative || *text == '+') ++text;
    if (*text < '0' || *text > '9') return static_cast<UINT>(defaultValue);
    UINT value = 0;
    while (*text >= '0' && *text <= '9') value = value * 10 + static_cast<UINT>(*text++ - '0');
    return negative ? 0u - value : value;
}

}  // namespace

CWinApp::CWinApp() : m_pMainWnd(nullptr), m_strAppName(ExecutableBaseName()) { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

bool CWinApp::InitInstance() { return true; }

bool CWinApp::Enable3dControlsStatic() {
    InitCommonControls();
    return true;
}

void CWinApp::SetRegistryKey(const char* key) { m_strRegistryKey = key; }

HKEY CWinApp::OpenSectionKey(const char* section, bool create) const {
    if (m_strRegistryKey.IsEmpty()) return nullptr;
    // One level at a time: each step's key is the parent of the next.
    const char* path[] = {"Software", m_strRegistryKey, m_strAppName, section};
    HKEY key = HKEY_CURRENT_USER;
    for (const char* name : path) {
        HKEY next = nullptr;
        LONG status;
        if (create) {
            DWORD disposition = 0;
            status = RegCreateKeyExA(key, name, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_READ | KEY_WRITE, nullptr, &next, &disposition);
        } else {
            status = RegOpenKeyExA(key, name, 0, KEY_READ, &next);
        }
        if (key != HKEY_CURRENT_USER) RegCloseKey(key);
        if (status != ERROR_SUCCESS) return nullptr;
        key = next;
    }
    return key;
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) {
    HKEY key = OpenSectionKey(section, false);
    if (!key) return static_cast<UINT>(defaultValue);
    // Room for text of 255 characters and its end; a longer value keeps the default.
    union {
        char text[257];  // first: the braces zero all of it
        DWORD number;
    } data = {};
    DWORD type = 0, size = sizeof data.text - 1;
    LONG status = RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(data.text), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return static_cast<UINT>(defaultValue);
    // A setup file's AddReg writes a number in as many little-endian bytes as its line lists; the
    // zero-filled buffer completes one of fewer than four. Text is read up to its first string's end.
    if ((type == REG_DWORD || type == REG_BINARY) && size - 1 < sizeof data.number) return data.number;
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)
        return ParseProfileInt(data.text, defaultValue);
    return static_cast<UINT>(defaultValue);
}

bool CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
    HKEY key = OpenSectionKey(section, true);
    if (!key) return false;
    DWORD data = static_cast<DWORD>(value);
    LONG status = RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

CWinApp* AfxGetApp() { return g_app; }

bool AfxIsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

HINSTANCE AfxGetInstanceHandle() { return GetModuleHandleA(nullptr); }

// The program's entry: lives beside CWinApp so that a program deriving its application from
// CWinApp links it without naming it; a program without an application object never pulls it in.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!g_app) return -1;
    g_app->InitInstance();
    return 0;
}

CString AfxLoadString(UINT id, LANGID language) {
    const HINSTANCE module = AfxGetInstanceHandle();
    // Sixteen strings to a block, each a length and that many UTF-16 units.
    const HRSRC block = FindResourceExA(module, RT_STRING, MAKEINTRESOURCEA(id / 16 + 1), language);
    const void* data = block ? LockResource(LoadResource(module, block)) : nullptr;
    if (!data) return CString();
    const WCHAR* text = static_cast<const WCHAR*>(data);
    const WCHAR* const end = text + SizeofResource(module, block) / sizeof(WCHAR);
    for (UINT skip = id % 16; skip > 0 && text < end; --skip) text += 1 + *text;
    if (text >= end || *text >= end - text) return CString();
    char buffer[512];
    const int length = WideCharToMultiByte(CP_ACP, 0, text + 1, *text, buffer, sizeof buffer, nullptr, nullptr);
    return CString(buffer, length > 0 ? length : 0);
}
