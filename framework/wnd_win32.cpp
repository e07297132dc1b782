#include "afxwin.h"

// ---- CWnd --------------------------------------------------------------------------------------

void CWnd::SetDlgItemText(int id, const char* text) {
    if (m_hWnd) ::SetDlgItemTextA(m_hWnd, id, text ? text : "");
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
    HWND item = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id);
    if (!item) {
        pDX->m_bFailed = true;
        return false;
    }
    // A page's window is created anew for each run of its sheet: follow the current child.
    control.m_hWnd = item;
    return true;
}

bool DDX_Text(CDataExchange* pDX, int id, CString& value) {
    HWND item = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id);
    if (!item) {
        pDX->m_bFailed = true;
        return false;
    }
    if (!pDX->m_bSaveAndValidate) {
        ::SetWindowTextA(item, value);
        return true;
    }
    value.Empty();
    const int length = ::GetWindowTextLengthA(item);
    if (length <= 0) return true;
    // The length may be larger than the text (double-byte conversions); ReleaseBuffer trims.
    ::GetWindowTextA(item, value.GetBuffer(static_cast<size_t>(length)), length + 1);
    value.ReleaseBuffer();
    return true;
}

// ---- Controls ----------------------------------------------------------------------------------

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

int CButton::GetCheck() const { return m_hWnd ? static_cast<int>(SendMessage(BM_GETCHECK)) : BST_UNCHECKED; }

void CButton::SetCheck(int state) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
