// Application, window and control classes of the framework, with dialog data exchange.
// ANSI Win32 only: every call is an "A" function that Windows 95 offers.
#pragma once
#include <windows.h>

#include "cmdtarget.h"
#include "cstring.h"

class CWnd;

// ---- Application -------------------------------------------------------------------------------

// The program's one application object: a static instance of a class derived from CWinApp.
// The framework's WinMain finds it and calls InitInstance; the process then ends with code 0.
class CWinApp {
public:
    // Registers the object as the application, named by the executable's base name.
    CWinApp();
    // Unregisters the object.
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Called once by WinMain. A dialog-based program runs its dialog here and returns false; the
    // framework has no message loop of its own, so the program then ends whatever the result.
    virtual bool InitInstance();

    // Called by InitInstance: the counterpart of the 3D-controls library of Windows 3.x. Windows 95
    // draws dialogs in 3D on its own, so this only initialises the common controls. Always true.
    bool Enable3dControlsStatic();
    // Called by InitInstance: profile values go to HKCU\Software\<key>\<app name>\<section>. The
    // panel keeps its profile there only, so the profile functions need this key.
    void SetRegistryKey(const char* key);
    // Reads an integer of the profile: a REG_DWORD or REG_BINARY of 1 to 4 bytes as its number, text
    // as atoi reads it; defaultValue when the value is missing, holds no number, or no key is set.
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
    // Writes an integer to the profile (REG_DWORD in the registry); true on success.
    bool WriteProfileInt(const char* section, const char* entry, int value);

    CWnd* m_pMainWnd;  // the main window (a dialog-based program: its sheet), or null

private:
    // Opens (create: also creates) Software\<key>\<app>\<section> under HKCU; null on failure.
    HKEY OpenSectionKey(const char* section, bool create) const;

    CString m_strAppName;      // the executable's base name
    CString m_strRegistryKey;  // set by SetRegistryKey; empty: no profile
};

// The application object, or null when none is constructed.
CWinApp* AfxGetApp();
// The program's module handle: the executable's.
HINSTANCE AfxGetInstanceHandle();
// True when byte leads a double-byte character of the system's ANSI code page.
bool AfxIsLeadByte(unsigned char byte);
// A text of the program's string table in language, in the ANSI code page; empty when missing.
// (LoadStringA would pick the language by the platform's rules.)
CString AfxLoadString(UINT id, LANGID language);

// ---- Windows and data exchange -------------------------------------------------------------

// Context of one UpdateData pass: the direction and the dialog whose controls are exchanged.
class CDataExchange {
public:
    // Called by UpdateData: save true takes controls into members, false shows members in controls.
    CDataExchange(CWnd* dialog, bool saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
    bool m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    bool m_bFailed = false;  // set by a DDX_ call that could not exchange; UpdateData's result
};

// A thin wrapper of a window handle; it never owns or destroys the window.
class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Sets a child control's text; an id without a control is ignored.
    void SetDlgItemText(int id, const char* text);
    // Enables or disables the window; true when it was disabled before (as EnableWindow reports).
    bool EnableWindow(bool enable = true);
    // Sends a message to the window; 0 when unbound.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Runs DoDataExchange: save true reads controls into members, false writes members to
    // controls. False when an exchange failed (a control missing); the rest is still exchanged.
    bool UpdateData(bool saveAndValidate = true);
    // Called by UpdateData: the class's DDX_ calls. The base exchanges nothing.
    virtual void DoDataExchange(CDataExchange* pDX);

    HWND m_hWnd = nullptr;
};

// Binds control to the dialog's child id (no subclassing: the handle only). Called from
// DoDataExchange in both directions; false (and pDX fails) when the child is missing.
bool DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// Exchanges a child control's text with value in pDX's direction; false when the child is missing.
bool DDX_Text(CDataExchange* pDX, int id, CString& value);

// ---- Controls ----------------------------------------------------------------------------------

// A combo box, usually bound by DDX_Control.
class CComboBox : public CWnd {
public:
    // Index of the selected entry, or CB_ERR.
    int GetCurSel() const;
    // Selects an entry by index (-1: none); sends no CBN_SELCHANGE.
    int SetCurSel(int index);
    // The text of entry index; empty when there is no such entry.
    void GetLBText(int index, CString& text) const;
};

// A push button, check box or radio button, usually bound by DDX_Control.
class CButton : public CWnd {
public:
    // BST_UNCHECKED (0), BST_CHECKED (1) or BST_INDETERMINATE (2).
    int GetCheck() const;
    // Sets the check state.
    void SetCheck(int state);
};

// Message-map rows for control notifications (see cmdtarget.h): ON_BN_CLICKED(IDC_X, &CMy::OnX).
#define ON_BN_CLICKED(id, memberFn) ON_CONTROL(BN_CLICKED, id, memberFn)
#define ON_CBN_SELCHANGE(id, memberFn) ON_CONTROL(CBN_SELCHANGE, id, memberFn)
