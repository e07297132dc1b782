#include <string.h>

#include "afxdlgs.h"
#include "filedialog_text.h"

namespace {

typedef BOOL(WINAPI* FileDialogFunction)(OPENFILENAMEA*);

// comdlg32.dll, loaded by the first file dialog and kept. Importing it instead would load it, and
// shell32, shlwapi and the print spooler with it, at every start of the program before its window
// shows: a measurable part of the start-up (tools/bench.sh).
HMODULE g_commonDialogs = nullptr;

// GetOpenFileNameA; null when the library or the function is missing.
FileDialogFunction OpenFileFunction() {
    if (!g_commonDialogs) g_commonDialogs = LoadLibraryA("comdlg32.dll");
    if (!g_commonDialogs) return nullptr;
    FARPROC function = GetProcAddress(g_commonDialogs, "GetOpenFileNameA");
    return reinterpret_cast<FileDialogFunction>(reinterpret_cast<void*>(function));
}

// Copies text into a fixed buffer, cut at a character boundary when it is too long.
void CopyText(char* target, size_t size, const char* text) {
    size_t length = 0;
    if (text) {
        while (text[length] && length + 1 < size) {
            size_t step = AfxIsLeadByte(static_cast<unsigned char>(text[length])) && text[length + 1] ? 2 : 1;
            if (length + step + 1 > size) break;
            length += step;
        }
        memcpy(target, text, length);
    }
    target[length] = '\0';
}

}  // namespace

CFileDialog::CFileDialog(const char* fileName, DWORD flags, const char* filter)
    : m_strFilter(MakeFileDialogFilter(filter, AfxIsLeadByte)) {
    CopyText(m_szFileName, sizeof m_szFileName, fileName);
    m_szFileTitle[0] = '\0';
    ZeroMemory(&m_ofn, sizeof m_ofn);
    // The Windows 95 size of the structure: later fields make older systems refuse it.
#ifdef OPENFILENAME_SIZE_VERSION_400A
    m_ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
#else
    m_ofn.lStructSize = sizeof m_ofn;
#endif
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof m_szFileName;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof m_szFileTitle;
    m_ofn.Flags = flags | OFN_EXPLORER;
    m_ofn.lpstrFilter = m_strFilter.IsEmpty() ? nullptr : m_strFilter.c_str();
}

INT_PTR CFileDialog::DoModal() {
    m_ofn.hInstance = AfxGetInstanceHandle();
    HWND owner = nullptr;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd && IsWindow(app->m_pMainWnd->m_hWnd)) owner = app->m_pMainWnd->m_hWnd;
    if (!owner) owner = GetActiveWindow();
    m_ofn.hwndOwner = owner;
    FileDialogFunction run = OpenFileFunction();
    return run && run(&m_ofn) ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const { return CString(m_szFileName); }

CString CFileDialog::GetFileName() const {
    return CString(m_szFileName + FileNameOffset(m_szFileName, AfxIsLeadByte));
}
