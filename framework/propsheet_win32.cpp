#include "afxdlgs.h"

#include "dlginit_win32.h"

namespace {

// The sheet whose PropertySheetA call is under way; its callback has no user data of its own.
// One thread, and the callback takes it before a nested sheet could start.
CPropertySheet* g_sheetStarting = nullptr;

}  // namespace

// ---- CPropertyPage -----------------------------------------------------------------------------

CPropertyPage::CPropertyPage(UINT templateId) {
    ZeroMemory(&m_psp, sizeof m_psp);
    // The first version's size: the only one the comctl32 of Windows 95 accepts.
    m_psp.dwSize = PROPSHEETPAGEA_V1_SIZE;
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.pszTemplate = MAKEINTRESOURCEA(templateId);
    m_psp.pfnDlgProc = PageProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CPropertyPage* page;
    if (message == WM_INITDIALOG) {
        // lParam is the platform's copy of our PROPSHEETPAGEA, whose lParam is the page.
        page = reinterpret_cast<CPropertyPage*>(reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
        SetWindowLongA(hwnd, DWL_USER, reinterpret_cast<LONG>(page));
        page->m_hWnd = hwnd;
        page->m_bFirstSetActive = true;
        // The lists' initial entries stored beside the template go in before the page's own
        // initialisation and its first data exchange see the controls.
        const PROPSHEETPAGEA& psp = page->m_psp;
        ExecuteDlgInit(hwnd, psp.hInstance, LOWORD(reinterpret_cast<ULONG_PTR>(psp.pszTemplate)));
        return page->OnInitDialog() ? TRUE : FALSE;
    }
    page = reinterpret_cast<CPropertyPage*>(GetWindowLongA(hwnd, DWL_USER));
    if (!page) return FALSE;
    switch (message) {
    case WM_COMMAND:
        return page->OnCmdMsg(HIWORD(wParam), LOWORD(wParam)) ? TRUE : FALSE;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (!page->OnNotify(wParam, lParam, &result)) return FALSE;
        SetWindowLongA(hwnd, DWL_MSGRESULT, static_cast<LONG>(result));
        return TRUE;
    }
    case WM_NCDESTROY:
        SetWindowLongA(hwnd, DWL_USER, 0);
        page->m_hWnd = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

bool CPropertyPage::OnInitDialog() {
    UpdateData(false);
    return true;
}

bool CPropertyPage::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    switch (header->code) {
    case PSN_SETACTIVE:
        // The first activation follows OnInitDialog, which has shown the members already.
        if (m_bFirstSetActive)
            m_bFirstSetActive = false;
        else
            UpdateData(false);
        *pResult = 0;
        return true;
    case PSN_KILLACTIVE:
        // There is no validation, so a failed exchange means a control missing from the template:
        // keeping the page would leave the user unable to switch pages, apply or press OK.
        UpdateData(true);
        *pResult = FALSE;
        return true;
    case PSN_APPLY:
        *pResult = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        return true;
    default:
        return false;
    }
}

bool CPropertyPage::OnApply() { return true; }

void CPropertyPage::SetModified(bool changed) {
    if (!m_hWnd) return;
    HWND sheet = ::GetParent(m_hWnd);
    if (sheet)
        ::SendMessageA(sheet, changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

// ---- CPropertySheet ----------------------------------------------------------------------------

CPropertySheet::CPropertySheet(const char* caption) : m_strCaption(caption) {
    ZeroMemory(&m_psh, sizeof m_psh);
    m_psh.dwSize = PROPSHEETHEADERA_V1_SIZE;
    m_psh.dwFlags = PSH_USECALLBACK;
    m_psh.pfnCallback = SheetCallback;
}

bool CPropertySheet::AddPage(CPropertyPage* page) {
    if (!page || m_nPages >= kMaxPages) return false;
    m_pages[m_nPages++] = page;
    return true;
}

INT_PTR CPropertySheet::DoModal() {
    if (m_nPages == 0 || m_hWnd) return -1;
    // Page handles rather than a PROPSHEETPAGEA array: an array would have to be packed at the
    // first version's size, which is smaller than the structure the headers declare.
    HPROPSHEETPAGE handles[kMaxPages];
    for (int i = 0; i < m_nPages; ++i) {
        CPropertyPage* page = m_pages[i];
        page->m_psp.hInstance = AfxGetInstanceHandle();
        handles[i] = CreatePropertySheetPageA(&page->m_psp);
        if (!handles[i]) {
            while (i-- > 0) DestroyPropertySheetPage(handles[i]);
            return -1;
        }
    }
    PROPSHEETHEADERA header = m_psh;
    header.hInstance = AfxGetInstanceHandle();
    header.pszCaption = m_strCaption.c_str();
    header.nPages = static_cast<UINT>(m_nPages);
    header.phpage = handles;

    g_sheetStarting = this;
    INT_PTR result = PropertySheetA(&header);
    g_sheetStarting = nullptr;  // also when the sheet failed before its callback ran
    m_hWnd = nullptr;           // the window is gone
    return result;
}

bool CPropertySheet::OnInitDialog() { return true; }

int CALLBACK CPropertySheet::SheetCallback(HWND hwnd, UINT message, LPARAM) {
    if (message != PSCB_INITIALIZED || !g_sheetStarting) return 0;
    CPropertySheet* sheet = g_sheetStarting;
    g_sheetStarting = nullptr;
    sheet->m_hWnd = hwnd;
    // Inside the sheet's WM_INITDIALOG, before the modal loop runs: no message from another
    // program (a PSM_SETCURSEL sent at once) can reach a page before the sheet is initialised.
    sheet->OnInitDialog();
    return 0;
}
