// Drives a real modal CPropertySheet with two pages on in-memory templates, as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include "afxdlgs.h"

namespace {

const int kApplyButton = 0x3021;  // the sheet's Apply button
const int kCheckId = 100, kEditId = 101, kComboId = 102;

// A DLGTEMPLATE with its items, built in DWORD-aligned storage.
class TemplateBuilder {
public:
    // Starts the template: a child page of cx by cy dialog units with a tab title.
    TemplateBuilder(const char* title, WORD itemCount) {
        Dword(WS_CHILD | WS_CAPTION | DS_3DLOOK);
        Dword(0);
        Word(itemCount);
        Word(0), Word(0), Word(200), Word(120);
        Word(0), Word(0);  // no menu, default class
        Text(title);
    }
    // Appends a control of a predefined class (0x80 button, 0x81 edit, 0x85 combo box).
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const char* text) {
        while (count_ % 2) Word(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word(x), Word(y), Word(cx), Word(cy), Word(id);
        Word(0xFFFF), Word(classAtom);
        Text(text);
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_); }

private:
    void Word(WORD w) {
        if (count_ < sizeof words_ / sizeof words_[0]) words_[count_++] = w;
    }
    void Dword(DWORD d) { Word(LOWORD(d)), Word(HIWORD(d)); }
    void Text(const char* text) {
        do Word(static_cast<unsigned char>(*text)); while (*text++);
    }
    alignas(4) WORD words_[512] = {};
    size_t count_ = 0;
};

TemplateBuilder MakePageTemplate(const char* title) {
    TemplateBuilder t(title, 3);
    t.Item(BS_AUTOCHECKBOX | WS_TABSTOP, 10, 10, 80, 12, kCheckId, 0x80, "Check");
    t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 30, 120, 14, kEditId, 0x81, "");
    t.Item(CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 50, 80, 60, kComboId, 0x85, "");
    return t;
}

const TemplateBuilder& FirstTemplate() {
    static const TemplateBuilder t = MakePageTemplate("First");
    return t;
}
const TemplateBuilder& SecondTemplate() {
    static const TemplateBuilder t = MakePageTemplate("Second");
    return t;
}

class CTestPage : public CPropertyPage {
    DECLARE_MESSAGE_MAP()
public:
    explicit CTestPage(const DLGTEMPLATE* t) : CPropertyPage(t) {}

    bool OnInitDialog() override {
        ++initCount;
        return CPropertyPage::OnInitDialog();
    }
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        UINT code = reinterpret_cast<NMHDR*>(lParam)->code;
        if (code == PSN_SETACTIVE) ++setActiveCount;
        if (code == PSN_APPLY) ++applyNotifyCount;
        return CPropertyPage::OnNotify(wParam, lParam, pResult);
    }
    bool OnApply() override {
        ++applyCount;
        return CPropertyPage::OnApply();
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kCheckId, m_check);
        DDX_Control(pDX, kComboId, m_combo);
        DDX_Text(pDX, kEditId, m_text);
    }
    void OnCheckClicked() {
        ++clicks;
        lastCheck = m_check.GetCheck();
    }
    void OnComboChanged() { m_combo.GetLBText(m_combo.GetCurSel(), lastPick); }

    int initCount = 0, setActiveCount = 0, applyNotifyCount = 0, applyCount = 0, clicks = 0, lastCheck = -1;
    CString m_text, lastPick;
    CButton m_check;
    CComboBox m_combo;
};

BEGIN_MESSAGE_MAP(CTestPage, CPropertyPage)
    ON_BN_CLICKED(kCheckId, &CTestPage::OnCheckClicked)
    ON_CBN_SELCHANGE(kComboId, &CTestPage::OnComboChanged)
END_MESSAGE_MAP()

class CTestSheet;
CTestSheet* g_driven = nullptr;
void CALLBACK DriveSheet(HWND, UINT, UINT_PTR, DWORD);
void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD);

class CTestSheet : public CPropertySheet {
public:
    CTestSheet() : CPropertySheet("Framework Test Sheet"), m_first(FirstTemplate().Get()), m_second(SecondTemplate().Get()) {
        AddPage(&m_first);
        AddPage(&m_second);
    }
    bool OnInitDialog() override {
        ++initCount;
        // What the sheet's own initialisation may rely on: its window exists, and no page has
        // been activated yet (a page that is may use what the sheet loads).
        sheetBoundAtInit = m_hWnd != nullptr && IsWindow(m_hWnd);
        firstSetActiveAtInit = m_first.setActiveCount;
        secondCreatedAtInit = m_second.m_hWnd != nullptr;
        g_driven = this;
        SetTimer(nullptr, 0, 10, DriveSheet);
        watchdog = SetTimer(nullptr, 0, 20000, Watchdog);
        return CPropertySheet::OnInitDialog();
    }
    bool ApplyEnabled() const { return IsWindowEnabled(GetDlgItem(kApplyButton)) != 0; }

    CTestPage m_first, m_second;
    int initCount = 0, firstSetActiveAtInit = -1;
    bool sheetBoundAtInit = false, secondCreatedAtInit = true, driven = false;
    UINT_PTR watchdog = 0;
};

void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    ADD_FAILURE() << "the sheet did not close";
    if (g_driven) g_driven->SendMessage(PSM_PRESSBUTTON, PSBTN_CANCEL);
}

// The whole user session, run once from the sheet's modal loop.
void CALLBACK DriveSheet(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    CTestSheet& sheet = *g_driven;
    CTestPage& first = sheet.m_first;
    CTestPage& second = sheet.m_second;
    sheet.driven = true;

    CString caption;
    sheet.GetWindowText(caption);
    EXPECT_STREQ(caption, "Framework Test Sheet");

    // Change state reaches the Apply button.
    EXPECT_FALSE(sheet.ApplyEnabled());
    first.SetModified(true);
    EXPECT_TRUE(sheet.ApplyEnabled());
    first.SetModified(false);
    EXPECT_FALSE(sheet.ApplyEnabled());

    // A click reaches the message map; OnInitDialog's data exchange bound the controls.
    ASSERT_NE(first.m_check.m_hWnd, nullptr);
    SendMessageA(first.GetDlgItem(kCheckId), BM_CLICK, 0, 0);
    EXPECT_EQ(first.clicks, 1);
    EXPECT_EQ(first.lastCheck, BST_CHECKED);
    EXPECT_EQ(second.clicks, 0);

    // Combo box access, and a selection change through the map.
    EXPECT_EQ(first.m_combo.AddString("alpha"), 0);
    EXPECT_EQ(first.m_combo.AddString("Beta 5"), 1);
    EXPECT_EQ(first.m_combo.GetCount(), 2);
    EXPECT_EQ(first.m_combo.SelectString(-1, "BETA"), 1);
    EXPECT_EQ(first.m_combo.SelectString(-1, "gamma"), CB_ERR);
    EXPECT_EQ(first.m_combo.GetCurSel(), 1) << "a failed search keeps the selection";
    first.SendMessage(WM_COMMAND, MAKEWPARAM(kComboId, CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(first.m_combo.m_hWnd));
    EXPECT_STREQ(first.lastPick, "Beta 5");
    CString none;
    first.m_combo.GetLBText(7, none);
    EXPECT_TRUE(none.IsEmpty());

    // Text exchange in both directions.
    first.m_text = "to the control";
    EXPECT_TRUE(first.UpdateData(false));
    char text[64] = {};
    GetDlgItemTextA(first.m_hWnd, kEditId, text, sizeof text);
    EXPECT_STREQ(text, "to the control");
    first.SetDlgItemText(kEditId, "from the control");
    EXPECT_TRUE(first.UpdateData(true));
    EXPECT_STREQ(first.m_text, "from the control");

    // Leaving the first page saves its controls; the second page is created on first show.
    first.SetDlgItemText(kEditId, "typed");
    EXPECT_EQ(second.initCount, 0);
    sheet.SendMessage(PSM_SETCURSEL, 1, 0);
    EXPECT_STREQ(first.m_text, "typed");
    EXPECT_EQ(second.initCount, 1);
    EXPECT_EQ(second.setActiveCount, 1);
    EXPECT_EQ(reinterpret_cast<HWND>(sheet.SendMessage(PSM_GETCURRENTPAGEHWND)), second.m_hWnd);

    // Coming back: a second activation, no second initialisation, members shown again.
    first.m_text = "shown again";
    sheet.SendMessage(PSM_SETCURSEL, 0, 0);
    EXPECT_EQ(first.initCount, 1);
    EXPECT_EQ(first.setActiveCount, 2);
    GetDlgItemTextA(first.m_hWnd, kEditId, text, sizeof text);
    EXPECT_STREQ(text, "shown again");

    // Apply reaches both created pages.
    second.SetModified(true);
    EXPECT_TRUE(sheet.ApplyEnabled());
    sheet.SendMessage(PSM_APPLY);
    EXPECT_EQ(first.applyCount, 1);
    EXPECT_EQ(second.applyCount, 1);
    EXPECT_EQ(first.applyNotifyCount, 1);

    sheet.m_first.SetModified(false);
    PostMessageA(sheet.m_hWnd, PSM_PRESSBUTTON, PSBTN_OK, 0);
}

TEST(FrameworkPropertySheet, ModalSheetWithTwoPagesBehavesAsAUserSeesIt) {
    CTestSheet sheet;
    INT_PTR result = sheet.DoModal();
    KillTimer(nullptr, sheet.watchdog);
    g_driven = nullptr;

    EXPECT_GT(result, 0) << "OK closes the sheet with a positive result";
    EXPECT_TRUE(sheet.driven);
    EXPECT_EQ(sheet.initCount, 1);
    EXPECT_TRUE(sheet.sheetBoundAtInit);
    EXPECT_EQ(sheet.firstSetActiveAtInit, 0);
    EXPECT_FALSE(sheet.secondCreatedAtInit);
    EXPECT_EQ(sheet.m_first.initCount, 1);
    // OK applies the pages again.
    EXPECT_EQ(sheet.m_first.applyCount, 2);
    EXPECT_EQ(sheet.m_second.applyCount, 2);
    // Nothing stays bound to the destroyed windows.
    EXPECT_EQ(sheet.m_hWnd, nullptr);
    EXPECT_EQ(sheet.m_first.m_hWnd, nullptr);
    EXPECT_EQ(sheet.m_second.m_hWnd, nullptr);
}

CPropertyPage* g_startPage = nullptr;
CPropertyPage* g_otherPage = nullptr;
bool g_startPageWasCurrent = false, g_otherPageExisted = true;

void CALLBACK LookAndCancel(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND sheetWindow = FindWindowA(nullptr, "Again");
    HWND current = reinterpret_cast<HWND>(SendMessageA(sheetWindow, PSM_GETCURRENTPAGEHWND, 0, 0));
    g_startPageWasCurrent = current && current == g_startPage->m_hWnd;
    g_otherPageExisted = g_otherPage->m_hWnd != nullptr;
    PostMessageA(sheetWindow, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

TEST(FrameworkPropertySheet, RunsAgainAfterClosingAndStartsOnTheSelectedPage) {
    CPropertyPage first(FirstTemplate().Get()), second(SecondTemplate().Get());
    CPropertySheet sheet("Again", nullptr, 1);
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    g_startPage = &second;
    g_otherPage = &first;
    for (int run = 0; run < 2; ++run) {
        g_startPageWasCurrent = false;
        g_otherPageExisted = true;
        // Look, then cancel, as soon as the sheet's loop runs.
        SetTimer(nullptr, 0, 10, LookAndCancel);
        EXPECT_EQ(sheet.DoModal(), 0) << "run " << run;
        EXPECT_TRUE(g_startPageWasCurrent) << "run " << run;
        EXPECT_FALSE(g_otherPageExisted) << "run " << run;
        EXPECT_EQ(second.m_hWnd, nullptr);
        EXPECT_EQ(sheet.m_hWnd, nullptr);
    }
}

// A page whose data exchange names a control its template lacks.
class CMissingControlPage : public CPropertyPage {
public:
    explicit CMissingControlPage(const DLGTEMPLATE* t) : CPropertyPage(t) {}
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, 999, m_missing);
        DDX_Text(pDX, kEditId, m_text);
    }
    CString m_missing, m_text;
};

CMissingControlPage* g_missingPage = nullptr;
int g_pageAfterSwitch = -1;
bool g_exchangeReported = true;

void CALLBACK LeaveMissingControlPage(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND sheetWindow = FindWindowA(nullptr, "Missing");
    g_missingPage->SetDlgItemText(kEditId, "kept");
    g_exchangeReported = g_missingPage->UpdateData(true);
    SendMessageA(sheetWindow, PSM_SETCURSEL, 1, 0);
    HWND current = reinterpret_cast<HWND>(SendMessageA(sheetWindow, PSM_GETCURRENTPAGEHWND, 0, 0));
    g_pageAfterSwitch = current == g_missingPage->m_hWnd ? 0 : 1;
    PostMessageA(sheetWindow, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

TEST(FrameworkPropertySheet, MissingControlIsReportedButDoesNotTrapThePage) {
    CMissingControlPage first(FirstTemplate().Get());
    CPropertyPage second(SecondTemplate().Get());
    CPropertySheet sheet("Missing");
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    g_missingPage = &first;
    SetTimer(nullptr, 0, 10, LeaveMissingControlPage);
    sheet.DoModal();
    EXPECT_FALSE(g_exchangeReported);
    EXPECT_STREQ(first.m_text, "kept") << "the other controls are still exchanged";
    EXPECT_EQ(g_pageAfterSwitch, 1);
}

TEST(FrameworkPropertySheet, SheetWithoutPagesFails) {
    CPropertySheet sheet("Empty");
    EXPECT_EQ(sheet.DoModal(), -1);
}

}  // namespace
