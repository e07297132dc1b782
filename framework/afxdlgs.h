// Dialog classes of the framework: the property sheet, its pages and the common file dialog.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <prsht.h>

#include "afxwin.h"

// ---- Property page -----------------------------------------------------------------------------

// One page of a CPropertySheet; usually a member of the derived sheet. The page hands `this` to
// the platform in PROPSHEETPAGEA.lParam and binds m_hWnd on its WM_INITDIALOG; WM_COMMAND goes to
// the message map, WM_NOTIFY to OnNotify.
class CPropertyPage : public CWnd {
public:
    // A page on dialog template templateId of the program's module (AfxGetInstanceHandle); the
    // lists' initial data of the same id (dlginit_format.h) fills its lists.
    explicit CPropertyPage(UINT templateId);

    // Called once when the page's window is created (the first time it is shown): UpdateData(false).
    // The result is WM_INITDIALOG's: true lets the dialog set the focus.
    virtual bool OnInitDialog();
    // Called for every WM_NOTIFY to the page; sets *pResult (written to DWL_MSGRESULT when true is
    // returned). PSN_SETACTIVE: every activation after the first shows the members again
    // (UpdateData(false)). PSN_KILLACTIVE: UpdateData(true), and the page always lets go, even when
    // a control was missing. PSN_APPLY: OnApply. False (unhandled) for anything else, Cancel's
    // notifications too: the panel lets Cancel go as the sheet does. An override handles its codes
    // and then calls this.
    virtual bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // On PSN_APPLY (OK or Apply; only pages already created get it): true accepts (PSNRET_NOERROR),
    // false refuses and keeps the page (PSNRET_INVALID_NOCHANGEPAGE). The base accepts.
    virtual bool OnApply();

    // Tells the sheet that this page has changes to apply (PSM_CHANGED: Apply enabled) or none
    // any more (PSM_UNCHANGED: Apply disabled when no other page has changes).
    void SetModified(bool changed = true);

private:
    friend class CPropertySheet;
    // The page's dialog procedure: binds on WM_INITDIALOG, then dispatches to the object.
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    PROPSHEETPAGEA m_psp;  // what the sheet passes to CreatePropertySheetPageA
    bool m_bFirstSetActive = true;
};

// ---- Property sheet ----------------------------------------------------------------------------

// A modal property sheet with the standard buttons OK, Cancel and Apply.
class CPropertySheet : public CWnd {
public:
    enum { kMaxPages = 16 };

    // caption: the sheet's title (copied); the sheet has no owner and shows its first page first.
    explicit CPropertySheet(const char* caption);

    // Appends a page; the page must outlive the sheet's DoModal. False when the sheet is full.
    bool AddPage(CPropertyPage* page);
    // Runs the sheet modally (PropertySheetA); returns when it closes: IDOK, IDCANCEL (0 and
    // ID_PSREBOOTSYSTEM etc. as the platform reports), or -1 when the sheet could not be created.
    // m_hWnd is the sheet's window meanwhile, and null again afterwards.
    INT_PTR DoModal();

    // Called once per DoModal, when the sheet's window exists and before any page is active: from
    // the sheet's PSCB_INITIALIZED, inside its WM_INITDIALOG, so nothing sent to the sheet by
    // another program is handled before it. The result is not used.
    virtual bool OnInitDialog();

private:
    // PropertySheetA's callback: binds the sheet window on PSCB_INITIALIZED, then runs
    // OnInitDialog.
    static int CALLBACK SheetCallback(HWND hwnd, UINT message, LPARAM lParam);

    PROPSHEETHEADERA m_psh;  // what DoModal passes to PropertySheetA, less the pages
    CString m_strCaption;
    CPropertyPage* m_pages[kMaxPages] = {};
    int m_nPages = 0;
};

// ---- File dialog ---------------------------------------------------------------------------

// The common file-open dialog.
class CFileDialog {
public:
    // A file to open (the program saves nothing through a dialog). fileName: initial file name (a
    // pattern such as "*.bin" serves); flags: OFN_ flags (OFN_EXPLORER is added); filter:
    // "Description|pattern|..." pairs. The owner is the application's main window, or else the
    // active window.
    explicit CFileDialog(const char* fileName = nullptr, DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         const char* filter = nullptr);

    // Runs the dialog modally: IDOK when the user chose a file, else IDCANCEL.
    INT_PTR DoModal();
    // The chosen full path.
    CString GetPathName() const;
    // The chosen file name without its directory (double-byte aware).
    CString GetFileName() const;

    OPENFILENAMEA m_ofn;  // set lpstrInitialDir and lpstrTitle (kept pointers) before DoModal

private:
    CString m_strFilter;
    char m_szFileName[MAX_PATH];
    char m_szFileTitle[MAX_PATH];
};
