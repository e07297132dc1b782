// Drives a real modal CPropertySheet with two pages of this program's templates, as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include "../sheet_ids.h"
#include "afxdlgs.h"
#include "framework_test_resource.h"

namespace {

class CTestPage : public CPropertyPage {
    DECLARE_MESSAGE_MAP()
public:
    explicit CTestPage(UINT templateId) : CPropertyPage(templateId) {}

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
        DDX_Control(pDX, IDC_TEST_CHECK, m_check);
        DDX_Control(pDX, IDC_TEST_COMBO, m_combo);
        DDX_Text(pDX, IDC_TEST_EDIT, m_text);
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
    ON_BN_CLICKED(IDC_TEST_CHECK, &CTestPage::OnCheckClicked)
    ON_CBN_SELCHANGE(IDC_TEST_COMBO, &CTestPage::OnComboChanged)
END_MESSAGE_MAP()

class CTestSheet;
CTestSheet* g_driven = nullptr;
void CALLBACK DriveSheet(HWND, UINT, UINT_PTR, DWORD);
void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD);

class CTestSheet : public CPropertySheet {
public:
    CTestSheet() : CPropertySheet("Framework Test Sheet"), m_first(IDD_TEST_FIRST), m_second(IDD_TEST_SECOND) {
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
    bool ApplyEnabled() const { return IsWindowEnabled(::GetDlgItem(m_hWnd, SheetApplyButton)) != 0; }

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

    char caption[64] = {};
    GetWindowTextA(sheet.m_hWnd, caption, sizeof caption);
    EXPECT_STREQ(caption, "Framework Test Sheet");

    // Change state reaches the Apply button.
    EXPECT_FALSE(sheet.ApplyEnabled());
    first.SetModified(true);
    EXPECT_TRUE(sheet.ApplyEnabled());
    first.SetModified(false);
    EXPECT_FALSE(sheet.ApplyEnabled());

    // A click reaches the message map; OnInitDialog's data exchange bound the controls.
    ASSERT_NE(first.m_check.m_hWnd, nullptr);
    SendMessageA(GetDlgItem(first.m_hWnd, IDC_TEST_CHECK), BM_CLICK, 0, 0);
    EXPECT_EQ(first.clicks, 1);
    EXPECT_EQ(first.lastCheck, BST_CHECKED);
    EXPECT_EQ(second.clicks, 0);

    // The list holds the template's initial entries in their order; combo box access, and a
    // selection change through the map.
    EXPECT_EQ(first.m_combo.SendMessage(CB_GETCOUNT), 2);
    EXPECT_EQ(first.m_combo.GetCurSel(), CB_ERR);
    first.m_combo.SetCurSel(1);
    EXPECT_EQ(first.m_combo.GetCurSel(), 1);
    first.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEST_COMBO, CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(first.m_combo.m_hWnd));
    EXPECT_STREQ(first.lastPick, "Beta 5");
    CString none;
    first.m_combo.GetLBText(7, none);
    EXPECT_TRUE(none.IsEmpty());

    // Text exchange in both directions.
    first.m_text = "to the control";
    EXPECT_TRUE(first.UpdateData(false));
    char text[64] = {};
    GetDlgItemTextA(first.m_hWnd, IDC_TEST_EDIT, text, sizeof text);
    EXPECT_STREQ(text, "to the control");
    first.SetDlgItemText(IDC_TEST_EDIT, "from the control");
    EXPECT_TRUE(first.UpdateData(true));
    EXPECT_STREQ(first.m_text, "from the control");

    // Leaving the first page saves its controls; the second page is created on first show.
    first.SetDlgItemText(IDC_TEST_EDIT, "typed");
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
    GetDlgItemTextA(first.m_hWnd, IDC_TEST_EDIT, text, sizeof text);
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

TEST(FrameworkPropertySheet, RunsAgainAfterClosingAndStartsOnTheFirstPage) {
    CPropertyPage first(IDD_TEST_FIRST), second(IDD_TEST_SECOND);
    CPropertySheet sheet("Again");
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    g_startPage = &first;
    g_otherPage = &second;
    for (int run = 0; run < 2; ++run) {
        g_startPageWasCurrent = false;
        g_otherPageExisted = true;
        // Look, then cancel, as soon as the sheet's loop runs.
        SetTimer(nullptr, 0, 10, LookAndCancel);
        EXPECT_EQ(sheet.DoModal(), 0) << "run " << run;
        EXPECT_TRUE(g_startPageWasCurrent) << "run " << run;
        EXPECT_FALSE(g_otherPageExisted) << "run " << run;
        EXPECT_EQ(first.m_hWnd, nullptr);
        EXPECT_EQ(sheet.m_hWnd, nullptr);
    }
}

// A page whose data exchange names a control its template lacks.
class CMissingControlPage : public CPropertyPage {
public:
    explicit CMissingControlPage(UINT templateId) : CPropertyPage(templateId) {}
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, IDC_TEST_MISSING, m_missing);
        DDX_Text(pDX, IDC_TEST_EDIT, m_text);
    }
    CString m_missing, m_text;
};

CMissingControlPage* g_missingPage = nullptr;
int g_pageAfterSwitch = -1;
bool g_exchangeReported = true;

void CALLBACK LeaveMissingControlPage(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND sheetWindow = FindWindowA(nullptr, "Missing");
    g_missingPage->SetDlgItemText(IDC_TEST_EDIT, "kept");
    g_exchangeReported = g_missingPage->UpdateData(true);
    SendMessageA(sheetWindow, PSM_SETCURSEL, 1, 0);
    HWND current = reinterpret_cast<HWND>(SendMessageA(sheetWindow, PSM_GETCURRENTPAGEHWND, 0, 0));
    g_pageAfterSwitch = current == g_missingPage->m_hWnd ? 0 : 1;
    PostMessageA(sheetWindow, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

TEST(FrameworkPropertySheet, MissingControlIsReportedButDoesNotTrapThePage) {
    CMissingControlPage first(IDD_TEST_FIRST);
    CPropertyPage second(IDD_TEST_SECOND);
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
