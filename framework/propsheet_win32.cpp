#include "afxdlgs.h"

#include "dlginit_win32.h"

namespace {

// The sheet whose PropertySheetA call is under way; its callback has no user data of its own.
// One thread, and the callback takes it before a nested sheet could start.
CPropertySheet* g_sheetStarting = nullptr;

// Window property that leads from the sheet's window to its object.
const char kSheetProperty[] = "CPropertySheet";

}  // namespace

// ---- CPropertyPage -----------------------------------------------------------------------------

CPropertyPage::CPropertyPage(UINT templateId) {
    InitPageHeader();
    m_psp.pszTemplate = MAKEINTRESOURCEA(templateId);
}

CPropertyPage::CPropertyPage(const DLGTEMPLATE* dialogTemplate) {
    InitPageHeader();
    m_psp.dwFlags |= PSP_DLGINDIRECT;
    m_psp.pResource = dialogTemplate;
}

void CPropertyPage::InitPageHeader() {
    ZeroMemory(&m_psp, sizeof m_psp);
    // The first version's size: the only one the comctl32 of Windows 95 accepts.
    m_psp.dwSize = PROPSHEETPAGEA_V1_SIZE;
    m_psp.dwFlags = PSP_DEFAULT;
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
        // The lists' initial entries stored beside the template (type 240) go in before the
        // page's own initialisation and its first data exchange see the controls.
        const PROPSHEETPAGEA& psp = page->m_psp;
        if (!(psp.dwFlags & PSP_DLGINDIRECT) && IS_INTRESOURCE(psp.pszTemplate))
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
        *pResult = OnSetActive() ? 0 : -1;
        return true;
    case PSN_KILLACTIVE:
        *pResult = OnKillActive() ? FALSE : TRUE;
        return true;
    case PSN_APPLY:
        *pResult = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        return true;
    default:
        return false;
    }
}

bool CPropertyPage::OnSetActive() {
    // The first activation follows OnInitDialog, which has shown the members already.
    if (m_bFirstSetActive)
        m_bFirstSetActive = false;
    else
        UpdateData(false);
    return true;
}

bool CPropertyPage::OnKillActive() {
    // There is no validation, so a failed exchange means a control missing from the template:
    // keeping the page would leave the user unable to switch pages, apply or press OK.
    UpdateData(true);
    return true;
}

bool CPropertyPage::OnApply() { return true; }

void CPropertyPage::SetModified(bool changed) {
    if (!m_hWnd) return;
    HWND sheet = ::GetParent(m_hWnd);
    if (sheet)
        ::SendMessageA(sheet, changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

// ---- CPropertySheet ----------------------------------------------------------------------------

CPropertySheet::CPropertySheet(const char* caption, CWnd* parent, UINT selectPage)
    : m_strCaption(caption) {
    ZeroMemory(&m_psh, sizeof m_psh);
    m_psh.dwSize = PROPSHEETHEADERA_V1_SIZE;
    m_psh.dwFlags = PSH_USECALLBACK;
    m_psh.hwndParent = parent ? parent->m_hWnd : nullptr;
    m_psh.nStartPage = selectPage;
}

bool CPropertySheet::AddPage(CPropertyPage* page) {
    if (!page || m_nPages >= kMaxPages) return false;
    m_pages[m_nPages++] = page;
    return true;
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
    return index >= 0 && index < m_nPages ? m_pages[index] : nullptr;
}

INT_PTR CPropertySheet::DoModal() {
    if (m_nPages == 0 || m_hWnd) return -1;
    // Page handles rather than a PROPSHEETPAGEA array: an array would have to be packed at the
    // first version's size, which is smaller than the structure the headers declare.
    HPROPSHEETPAGE handles[kMaxPages];
    for (int i = 0; i < m_nPages; ++i) {
        CPropertyPage* page = m_pages[i];
        if (!page->m_psp.hInstance) page->m_psp.hInstance = AfxGetInstanceHandle();
        page->m_psp.lParam = reinterpret_cast<LPARAM>(page);
        handles[i] = CreatePropertySheetPageA(&page->m_psp);
        if (!handles[i]) {
            while (i-- > 0) DestroyPropertySheetPage(handles[i]);
            return -1;
        }
    }
    PROPSHEETHEADERA header = m_psh;
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = (m_psh.dwFlags | PSH_USECALLBACK) & ~(PSH_PROPSHEETPAGE | PSH_MODELESS);
    if (!header.hInstance) header.hInstance = AfxGetInstanceHandle();
    header.pszCaption = m_strCaption.c_str();
    header.nPages = static_cast<UINT>(m_nPages);
    if (header.nStartPage >= header.nPages) header.nStartPage = 0;
    header.phpage = handles;
    header.pfnCallback = SheetCallback;

    g_sheetStarting = this;
    INT_PTR result = PropertySheetA(&header);
    g_sheetStarting = nullptr;  // also when the sheet failed before its callback ran
    return result;
}

bool CPropertySheet::OnInitDialog() { return true; }

int CALLBACK CPropertySheet::SheetCallback(HWND hwnd, UINT message, LPARAM) {
    if (message != PSCB_INITIALIZED || !g_sheetStarting) return 0;
    CPropertySheet* sheet = g_sheetStarting;
    g_sheetStarting = nullptr;
    sheet->m_hWnd = hwnd;
    SetPropA(hwnd, kSheetProperty, reinterpret_cast<HANDLE>(sheet));
    sheet->m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG>(SheetProc)));
    // Inside the sheet's WM_INITDIALOG, before the modal loop runs: no message from another
    // program (a PSM_SETCURSEL sent at once) can reach a page before the sheet is initialised.
    sheet->OnInitDialog();
    return 0;
}

LRESULT CALLBACK CPropertySheet::SheetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CPropertySheet* sheet = reinterpret_cast<CPropertySheet*>(GetPropA(hwnd, kSheetProperty));
    if (!sheet) return DefWindowProcA(hwnd, message, wParam, lParam);
    WNDPROC super = sheet->m_pfnSuper;
    if (message == WM_COMMAND && sheet->OnCmdMsg(HIWORD(wParam), LOWORD(wParam))) return 0;
    if (message == WM_NCDESTROY) {
        SetWindowLongA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG>(super));
        RemovePropA(hwnd, kSheetProperty);
        sheet->m_hWnd = nullptr;
    }
    return CallWindowProcA(super, hwnd, message, wParam, lParam);
}
