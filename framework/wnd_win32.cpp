#include "afxwin.h"

// ---- CWnd --------------------------------------------------------------------------------------

HWND CWnd::GetDlgItem(int id) const { return m_hWnd ? ::GetDlgItem(m_hWnd, id) : nullptr; }

void CWnd::SetDlgItemText(int id, const char* text) {
    if (m_hWnd) ::SetDlgItemTextA(m_hWnd, id, text ? text : "");
}

void CWnd::SetWindowText(const char* text) {
    if (m_hWnd) ::SetWindowTextA(m_hWnd, text ? text : "");
}

void CWnd::GetWindowText(CString& text) const {
    text.Empty();
    if (!m_hWnd) return;
    int length = ::GetWindowTextLengthA(m_hWnd);
    if (length <= 0) return;
    // The length may be larger than the text (double-byte conversions); ReleaseBuffer trims.
    char* buffer = text.GetBuffer(static_cast<size_t>(length));
    ::GetWindowTextA(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer();
}

bool CWnd::EnableWindow(bool enable) { return m_hWnd && ::EnableWindow(m_hWnd, enable) != 0; }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return m_hWnd ? ::SendMessageA(m_hWnd, message, wParam, lParam) : 0;
}

bool CWnd::UpdateData(bool saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

void CWnd::DoDataExchange(CDataExchange*) {}

// ---- Data exchange -------------------------------------------------------------------------

bool DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    HWND item = pDX->m_pDlgWnd->GetDlgItem(id);
    if (!item) {
        pDX->m_bFailed = true;
        return false;
    }
    // A page's window is created anew for each run of its sheet: follow the current child.
    control.m_hWnd = item;
    return true;
}

bool DDX_Text(CDataExchange* pDX, int id, CString& value) {
    CWnd item;
    item.m_hWnd = pDX->m_pDlgWnd->GetDlgItem(id);
    if (!item.m_hWnd) {
        pDX->m_bFailed = true;
        return false;
    }
    if (pDX->m_bSaveAndValidate)
        item.GetWindowText(value);
    else
        item.SetWindowText(value);
    return true;
}

// ---- Controls ----------------------------------------------------------------------------------

int CComboBox::AddString(const char* text) {
    return m_hWnd ? static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))) : CB_ERR;
}

int CComboBox::SelectString(int startAfter, const char* text) {
    return m_hWnd ? static_cast<int>(SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(startAfter),
                                                 reinterpret_cast<LPARAM>(text)))
                  : CB_ERR;
}

int CComboBox::GetCurSel() const { return m_hWnd ? static_cast<int>(SendMessage(CB_GETCURSEL)) : CB_ERR; }

int CComboBox::SetCurSel(int index) {
    return m_hWnd ? static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))) : CB_ERR;
}

void CComboBox::GetLBText(int index, CString& text) const {
    text.Empty();
    int length = m_hWnd ? static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index))) : CB_ERR;
    if (length <= 0) return;
    char* buffer = text.GetBuffer(static_cast<size_t>(length));
    buffer[0] = '\0';
    SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    text.ReleaseBuffer();
}

int CComboBox::GetCount() const { return m_hWnd ? static_cast<int>(SendMessage(CB_GETCOUNT)) : 0; }

int CButton::GetCheck() const { return m_hWnd ? static_cast<int>(SendMessage(BM_GETCHECK)) : BST_UNCHECKED; }

void CButton::SetCheck(int state) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
