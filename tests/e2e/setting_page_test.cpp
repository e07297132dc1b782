// The Setting page driven as a user drives it: the check box and the lists, the Browse buttons with
// the real file dialog, Apply and OK, and what they leave in the INI file, c:\autoexec.bat and the
// registry. The prepared machine has the card at 00:09 with interrupt 10 and address 0x330.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <prsht.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "../sheet_ids.h"
#include "panel_driver.h"
#include "panel_fixture.h"
#include "resource.h"

namespace e2e {
namespace {

const char kAutoCheckKey[] = "Software\\Tavish Corp.\\Orrivan\\Control Pannel";
const char kAutoCheckValue[] = "Auto Check";
const char kBootFile[] = "C:\\autoexec.bat";
const char kIniFile[] = "C:\\WINDOWS\\Tessan.ini";
const char kMarkerFile[] = "C:\\e2e\\ran.txt";

// A boot file with the tool's line among others, in mixed case.
const char kBootFileText[] =
    "@echo off\r\n"
    "path c:\\windows;c:\\windows\\command\r\n"
    "c:\\windows\\kestro dirq=5\r\n"
    "set temp=c:\\temp\r\n";

// The stored Auto Check value, or -1 when there is none.
long StoredAutoCheck() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kAutoCheckKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD value = 0, type = 0, size = sizeof value;
    const LONG r = RegQueryValueExA(key, kAutoCheckValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long>(value) : -1;
}

void ForgetAutoCheck() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kAutoCheckKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, kAutoCheckValue);
    RegCloseKey(key);
}

// The PCI dump of PrepareMachine with the card's interrupt line (register 0x3C of function 1)
// changed to line.
std::string DumpWithInterrupt(unsigned line) {
    std::string dump = ReadWholeFile("C:\\e2e\\pci.txt");
    const std::string cardRow = "30: 00 00 00 00 00 00 00 00 00 00 00 00 0a 02 00 00";
    const size_t at = dump.find(cardRow);
    if (at == std::string::npos) return std::string();
    char hex[3];
    snprintf(hex, sizeof hex, "%02x", line & 0xFF);
    dump.replace(at + cardRow.size() - 11, 2, hex);
    return dump;
}

// Sends a message and waits for it to be handled, giving up on a hung panel.
LRESULT Send(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    DWORD_PTR r = 0;
    SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, 5000, &r);
    return static_cast<LRESULT>(r);
}

// The text of a list's selected entry (through the wide message, which Wine marshals whole).
std::string SelectedEntry(HWND combo) {
    const LRESULT sel = Send(combo, CB_GETCURSEL);
    if (sel == CB_ERR) return "<none>";
    const std::vector<std::string> entries = ComboEntries(combo);
    return sel < static_cast<LRESULT>(entries.size()) ? entries[sel] : "<out of range>";
}

// A visible top-level window of process pid with exactly this caption, waited for up to ms.
HWND WaitForWindow(DWORD pid, const std::string& caption, DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        for (HWND w : WindowsWithCaption(caption)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == pid && IsWindowVisible(w)) return w;
        }
        Sleep(100);
    } while (GetTickCount() - start < ms);
    return nullptr;
}

// A visible dialog of process pid owned by window owner (a message box), waited for up to ms.
HWND WaitForOwnedDialog(DWORD pid, HWND owner, DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        for (HWND w : VisibleWindowsOf(pid)) {
            char cls[64] = {0};
            GetClassNameA(w, cls, sizeof cls);
            if (GetWindow(w, GW_OWNER) == owner && std::string(cls) == "#32770") return w;
        }
        Sleep(100);
    } while (GetTickCount() - start < ms);
    return nullptr;
}

BOOL CALLBACK CollectStaticText(HWND w, LPARAM lp) {
    char cls[64] = {0};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) *reinterpret_cast<std::string*>(lp) += TextOf(w) + "\n";
    return TRUE;
}

bool WaitUntilGone(HWND w, DWORD ms) {
    const DWORD start = GetTickCount();
    while (IsWindow(w) && IsWindowVisible(w)) {
        if (GetTickCount() - start > ms) return false;
        Sleep(50);
    }
    return true;
}

std::string ShotName(const char* what) { return std::string(Korean() ? "ko-" : "en-") + what; }

class SettingPage : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        if (HasFatalFailure()) return;
        ForgetAutoCheck();
        savedBootFile_ = ReadWholeFile(kBootFile);
        ASSERT_TRUE(WriteWholeFile(kBootFile, kBootFileText));
        CreateDirectoryA("C:\\KESTRO", nullptr);
        CreateDirectoryA("C:\\KESTRO\\UTIL", nullptr);
        DeleteFileA(kMarkerFile);
    }

    void TearDown() override {
        PanelTest::TearDown();
        ForgetAutoCheck();
        SetFileAttributesA(kBootFile, FILE_ATTRIBUTE_NORMAL);
        if (savedBootFile_ == "<missing>")
            DeleteFileA(kBootFile);
        else
            WriteWholeFile(kBootFile, savedBootFile_);
    }

    // Opens the panel on its Setting page.
    HWND OpenSettingPage() {
        if (!Open()) return nullptr;
        if (!SelectPage(sheet_, 1)) {
            ADD_FAILURE() << "the Setting page did not become current";
            return nullptr;
        }
        page_ = CurrentPage(sheet_);
        return page_;
    }

    HWND Item(int id) const { return GetDlgItem(page_, id); }
    bool Checked() const { return Send(Item(IDC_AUTODETECT), BM_GETCHECK) == BST_CHECKED; }
    bool ApplyEnabled() const { return IsWindowEnabled(GetDlgItem(sheet_, SheetApplyButton)) != FALSE; }
    void ClickAutoDetect() const { Send(Item(IDC_AUTODETECT), BM_CLICK); }

    // Picks entry index of a list as a user would; CB_SETCURSEL alone notifies nobody.
    void Pick(int listId, int index) const {
        HWND list = Item(listId);
        Send(list, CB_SETCURSEL, index);
        Send(page_, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }

    // Answers the restart question of an apply No, when it comes within ms; whether it came.
    bool DeclineRestart(DWORD ms) {
        HWND box = WaitForOwnedDialog(panel_.Pid(), sheet_, ms);
        if (!box) return false;
        EXPECT_EQ(TextOf(box), PanelCaption());
        std::string text;
        EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
        const char* question = Korean() ? "지금 컴퓨터를 다시 시작하시겠습니까?" : "Do you want to restart your computer now?";
        EXPECT_NE(text.find(Ansi(question)), std::string::npos) << Utf8(text);
        if (!restartShot_) Shot("setting-restart", box);
        restartShot_ = true;
        EXPECT_TRUE(GetDlgItem(box, IDNO)) << "the question has no No button";
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDNO)));
        EXPECT_TRUE(WaitUntilGone(box, 10000)) << "the question stayed open";
        return true;
    }

    // Applies and answers a restart question No; whether one was asked. The question comes before
    // the apply returns, so once the sheet answers a message after it, none is coming.
    bool Apply() {
        PostMessageA(sheet_, PSM_APPLY, 0, 0);  // a question is modal: do not wait for the apply
        Send(sheet_, WM_NULL);
        const bool asked = DeclineRestart(500);
        Send(sheet_, WM_NULL);
        return asked;
    }

    // Presses OK, answers a restart question No, and waits for the panel to end; whether asked.
    bool PressOk() {
        PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_OK, 0);
        const bool asked = DeclineRestart(1500);
        EXPECT_TRUE(panel_.WaitForExit(10000)) << "OK did not end the panel";
        sheet_ = nullptr;
        return asked;
    }

    // Clicks a Browse button and waits for its file dialog; null (with a failure) when none appears.
    HWND OpenFileDialog(int buttonId, const char* titleUtf8) {
        PostMessageA(Item(buttonId), BM_CLICK, 0, 0);  // the dialog is modal: do not wait for it
        HWND dialog = WaitForWindow(panel_.Pid(), Ansi(titleUtf8), 10000);
        if (!dialog) ADD_FAILURE() << "no file dialog titled \"" << titleUtf8 << "\" appeared";
        return dialog;
    }

    // Types name into the dialog's file-name box and presses OK (or Cancel when name is null).
    void FinishFileDialog(HWND dialog, const char* name) {
        SubmitFileName(dialog, name);
        ASSERT_TRUE(WaitUntilGone(dialog, 10000)) << "the file dialog stayed open";
        Send(page_, WM_NULL);  // the Browse handler has finished once this returns
    }

    // The same without waiting for the dialog to close.
    void SubmitFileName(HWND dialog, const char* name) {
        if (name) {
            // The file-name box: an edit control, or in newer layouts a combo box.
            HWND box = GetDlgItem(dialog, edt1);
            if (!box) box = GetDlgItem(dialog, cmb13);
            ASSERT_TRUE(box) << "the file dialog has no file-name box";
            Send(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
        }
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(name ? IDOK : IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, name ? IDOK : IDCANCEL)));
    }

    void Shot(const char* what, HWND window = nullptr) {
        std::string why;
        EXPECT_TRUE(SaveScreenshot(window ? window : sheet_, ShotName(what).c_str(), &why)) << why;
    }

    HWND page_ = nullptr;
    std::string savedBootFile_;
    bool restartShot_ = false;
};

const char* FirmwareTitle() { return Korean() ? "도스 초기화를 위한 펌웨어 선택" : "Select FirmWare for booting"; }
const char* MasterBankTitle() { return Korean() ? "마스터 뱅크파일 선택" : "Select SoundBank file for Master DSP"; }
const char* SlaveBankTitle() { return Korean() ? "슬레이브 뱅크파일 선택" : "Select SoundBank file for Slave DSP"; }

TEST_F(SettingPage, AutoDetectClickFreesTheListsAndEnablesApply) {
    ASSERT_TRUE(OpenSettingPage());
    // No stored value: automatic detection, lists locked on what the next boot uses: the tool's
    // line sets interrupt 5 (the card still reports 10), the address is the card's.
    EXPECT_EQ(SelectedEntry(Item(IDC_IRQ)), "5");
    EXPECT_EQ(SelectedEntry(Item(IDC_PORT)), "330");
    EXPECT_EQ(TextOf(Item(IDC_IRQ)), "5");
    EXPECT_EQ(TextOf(Item(IDC_PORT)), "330");
    EXPECT_TRUE(Checked());
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_IRQ)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_PORT)));
    EXPECT_FALSE(ApplyEnabled()) << "an activation alone must not mark the page changed";

    ClickAutoDetect();
    EXPECT_FALSE(Checked());
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_IRQ)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_PORT)));
    EXPECT_TRUE(ApplyEnabled());
    Shot("setting-manual");

    ClickAutoDetect();
    EXPECT_TRUE(Checked());
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_IRQ)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_PORT)));
}

TEST_F(SettingPage, ApplyOfAPickedInterruptRewritesBootLineIniAndRegistry) {
    ASSERT_TRUE(OpenSettingPage());
    ClickAutoDetect();
    Pick(IDC_IRQ, 4);  // "11"
    ASSERT_EQ(SelectedEntry(Item(IDC_IRQ)), "11");
    EXPECT_TRUE(Apply()) << "no restart question after a changed interrupt";

    // The card stays at 330, so only the interrupt goes on the tool's line; "11" fills its field.
    EXPECT_EQ(ReadWholeFile(kBootFile),
              "@echo off\r\n"
              "path c:\\windows;c:\\windows\\command\r\n"
              "C:\\WINDOWS\\KESTRO DIRQ=11\r\n"
              "set temp=c:\\temp\r\n");
    const std::string ini = ReadWholeFile(kIniFile);
    for (const char* line : {"FirmWare=C:\\KESTRO\\UTIL\\PELKAD.BIN", "Sound Font Bank Master=C:\\KESTRO\\UTIL\\TORBEL08.94B",
                             "Sound Font Bank Slave=C:\\KESTRO\\UTIL\\TORBEL08.94B", "Path=C:\\Kestro"})
        EXPECT_NE(ini.find(line), std::string::npos) << "no line " << line << " in\n" << ini;
    EXPECT_EQ(StoredAutoCheck(), 0);
    EXPECT_FALSE(ApplyEnabled()) << "Apply must be disabled once applied";

    // Leaving and coming back keeps the applied interrupt, although the card still reports 10.
    ASSERT_TRUE(SelectPage(sheet_, 0));
    ASSERT_TRUE(SelectPage(sheet_, 1));
    EXPECT_EQ(SelectedEntry(Item(IDC_IRQ)), "11");
    EXPECT_FALSE(Checked());
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_IRQ)));

    // A second apply with an address picked as well puts both options on the line.
    Pick(IDC_PORT, 2);  // "350"
    EXPECT_TRUE(PressOk());
    const char* const line = "\r\nC:\\WINDOWS\\KESTRO DIRQ=11 DREAM=350\r\n";
    EXPECT_NE(ReadWholeFile(kBootFile).find(line), std::string::npos) << ReadWholeFile(kBootFile);

    // Reopened before the restart: the page shows what the line will set, and OK keeps it.
    ASSERT_TRUE(OpenSettingPage());
    EXPECT_EQ(SelectedEntry(Item(IDC_IRQ)), "11");
    EXPECT_EQ(SelectedEntry(Item(IDC_PORT)), "350");
    EXPECT_FALSE(PressOk()) << "a restart question although the next boot stays as it was";
    EXPECT_NE(ReadWholeFile(kBootFile).find(line), std::string::npos) << ReadWholeFile(kBootFile);
}

TEST_F(SettingPage, OkWithAutoDetectLetsTheToolFindTheResources) {
    ASSERT_TRUE(OpenSettingPage());
    PressOk();
    EXPECT_EQ(ReadWholeFile(kBootFile),
              "@echo off\r\n"
              "path c:\\windows;c:\\windows\\command\r\n"
              "C:\\WINDOWS\\KESTRO.EXE\r\n"
              "set temp=c:\\temp\r\n");
    EXPECT_EQ(StoredAutoCheck(), 1);

    // A line without options leaves the choice to the card: reopened, the page shows its interrupt.
    ASSERT_TRUE(OpenSettingPage());
    EXPECT_EQ(SelectedEntry(Item(IDC_IRQ)), "10");
}

TEST_F(SettingPage, EditsAreDroppedWhenLeavingThePageYetOkStillApplies) {
    ASSERT_TRUE(OpenSettingPage());
    ClickAutoDetect();
    Pick(IDC_IRQ, 5);  // "12"
    ASSERT_TRUE(SelectPage(sheet_, 0));
    ASSERT_TRUE(SelectPage(sheet_, 1));
    // Back to what was applied: automatic detection, the interrupt of the tool's line.
    EXPECT_TRUE(Checked());
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_IRQ)));
    EXPECT_EQ(SelectedEntry(Item(IDC_IRQ)), "5");
    PressOk();
    // The apply sequence ran with the applied values: the INI values come back upper-cased.
    const std::string boot = ReadWholeFile(kBootFile);
    EXPECT_NE(boot.find("\r\nC:\\WINDOWS\\KESTRO.EXE\r\n"), std::string::npos) << boot;
    EXPECT_EQ(boot.find("DIRQ=12"), std::string::npos) << boot;
    EXPECT_NE(ReadWholeFile(kIniFile).find("FirmWare=C:\\KESTRO\\UTIL\\PELKAD.BIN"), std::string::npos);
    EXPECT_EQ(StoredAutoCheck(), 1);
}

TEST_F(SettingPage, CardAtInterrupt5ShowsItAndEveryReturnDropsPicksAndTypedText) {
    const std::string dump = DumpWithInterrupt(5);
    ASSERT_FALSE(dump.empty()) << "the prepared PCI dump has no card row to change";
    ASSERT_TRUE(WriteWholeFile("C:\\e2e\\pci.txt", dump));
    ASSERT_TRUE(OpenSettingPage());
    // The card's text is " 5": the entry "5" stands for it.
    EXPECT_EQ(SelectedEntry(Item(IDC_IRQ)), "5");
    EXPECT_EQ(SelectedEntry(Item(IDC_PORT)), "330");
    // A pick and a typed address are dropped on leaving: back, the lists show what Apply saves.
    ClickAutoDetect();
    Pick(IDC_IRQ, 3);  // "10"
    Send(Item(IDC_PORT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("999"));
    ASSERT_TRUE(SelectPage(sheet_, 0));
    ASSERT_TRUE(SelectPage(sheet_, 1));
    EXPECT_EQ(SelectedEntry(Item(IDC_IRQ)), "5");
    EXPECT_EQ(TextOf(Item(IDC_IRQ)), "5");
    EXPECT_EQ(TextOf(Item(IDC_PORT)), "330");
    ClickAutoDetect();
    Apply();
    // The interrupt taken from the card equals the card's: only the address option is written.
    EXPECT_NE(ReadWholeFile(kBootFile).find("\r\nC:\\WINDOWS\\KESTRO DREAM=330\r\n"), std::string::npos)
        << ReadWholeFile(kBootFile);
}

TEST_F(SettingPage, RestartIsOfferedOnlyWhenTheNextBootChanges) {
    ASSERT_TRUE(OpenSettingPage());
    // The tool's line sets interrupt 5; Auto Detect drops it. Then the same choice again, and a
    // change of the banks alone, leave the next boot as it is.
    EXPECT_TRUE(Apply()) << "no restart question after a changed tool line";
    EXPECT_TRUE(IsWindow(sheet_)) << "No closed the panel";
    EXPECT_EQ(ReadWholeFile(kBootFile).find("DIRQ"), std::string::npos) << ReadWholeFile(kBootFile);
    EXPECT_FALSE(Apply()) << "a restart question after the same apply";
    ASSERT_TRUE(WriteWholeFile("C:\\KESTRO\\UTIL\\other.94b", "bank"));
    HWND dialog = OpenFileDialog(IDC_BROWSE_SLAVEBANK, SlaveBankTitle());
    ASSERT_TRUE(dialog);
    FinishFileDialog(dialog, "C:\\KESTRO\\UTIL\\other.94b");
    EXPECT_FALSE(PressOk()) << "a restart question after a change of the banks alone";
    EXPECT_NE(ReadWholeFile(kIniFile).find("Sound Font Bank Slave=C:\\KESTRO\\UTIL\\OTHER.94B"), std::string::npos);
}

// A boot file the panel must leave as it is, and the reason it tells, which names what refused.
struct RefusedBootFile {
    std::string contents;
    bool readOnly;
    const char* english;
    const char* korean;
};

TEST_F(SettingPage, ARefusedBootFileIsReportedAndKept) {
    // DOS reads 127 characters of a line: the new command would make this tool line longer.
    const std::string longLine = "if exist c:\\program\\" + std::string(75, 'x') + "\\kestro.exe c:\\windows\\kestro\r\n";
    const RefusedBootFile cases[] = {
        {kBootFileText, true, "C:\\AUTOEXEC.BAT is read-only.", "C:\\AUTOEXEC.BAT 파일은 읽기 전용입니다."},
        {longLine, false,
         "The line \"if exist c:\\program\\xxxxxxxx...\" would be longer than the 127 characters that DOS reads of a line.",
         "\"if exist c:\\program\\xxxxxxxx...\" 줄이 DOS가 한 줄에서 읽는 127자보다 길어집니다."},
    };
    for (const RefusedBootFile& c : cases) {
        ForgetAutoCheck();
        SetFileAttributesA(kBootFile, FILE_ATTRIBUTE_NORMAL);
        ASSERT_TRUE(WriteWholeFile(kBootFile, c.contents));
        if (c.readOnly) {
            ASSERT_TRUE(SetFileAttributesA(kBootFile, FILE_ATTRIBUTE_READONLY));
        }
        ASSERT_TRUE(OpenSettingPage());
        ClickAutoDetect();
        Pick(IDC_IRQ, 4);  // "11"
        PostMessageA(sheet_, PSM_APPLY, 0, 0);  // the message box is modal: do not wait for the apply

        HWND box = WaitForOwnedDialog(panel_.Pid(), sheet_, 10000);
        ASSERT_TRUE(box) << "no message box owned by the sheet";
        Shot(c.readOnly ? "setting-not-saved" : "setting-line-too-long", box);
        EXPECT_EQ(Utf8(TextOf(box)), Korean() ? "설정을 저장하지 못했습니다" : "Settings not saved");
        std::string text;
        EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
        // What was not saved, why, and that the old file stayed; the INI file was saved.
        for (const char* part : {Korean() ? c.korean : c.english,
                                 Korean() ? "이전 파일은 바뀌지 않았습니다." : "The old file is unchanged."})
            EXPECT_NE(text.find(Ansi(part)), std::string::npos) << "no \"" << part << "\" in\n" << Utf8(text);
        EXPECT_EQ(text.find("Tessan.ini"), std::string::npos) << Utf8(text);

        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        ASSERT_TRUE(WaitUntilGone(box, 10000)) << "the message box stayed open";
        Send(sheet_, WM_NULL);  // the apply has finished once this returns
        EXPECT_EQ(ReadWholeFile(kBootFile), c.contents);
        EXPECT_NE(ReadWholeFile(kIniFile).find("FirmWare=C:\\KESTRO\\UTIL\\PELKAD.BIN"), std::string::npos);
        EXPECT_EQ(StoredAutoCheck(), 0) << "the rest of the apply goes on";
        EXPECT_TRUE(CloseSheet(sheet_, panel_)) << "Cancel did not end the panel within 10 s";
        sheet_ = nullptr;
    }
}

TEST_F(SettingPage, WithoutABootFileTheChoiceIsOfferedANewOne) {
    ASSERT_TRUE(DeleteFileA(kBootFile));
    ASSERT_TRUE(OpenSettingPage());
    ClickAutoDetect();
    Pick(IDC_IRQ, 4);  // "11"
    // No leaves the machine as it was; the next apply asks again, and Yes creates the boot file.
    for (int answer : {IDNO, IDYES}) {
        PostMessageA(sheet_, PSM_APPLY, 0, 0);  // the message box is modal: do not wait for the apply
        HWND box = WaitForOwnedDialog(panel_.Pid(), sheet_, 10000);
        ASSERT_TRUE(box) << "no question owned by the sheet";
        if (answer == IDYES) Shot("setting-no-boot-file", box);
        EXPECT_EQ(TextOf(box), PanelCaption());
        std::string text;
        EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
        // The card stays at 330: the line sets the interrupt alone.
        for (const char* part : {"C:\\AUTOEXEC.BAT", "\n\nC:\\WINDOWS\\KESTRO DIRQ=11"})
            EXPECT_NE(text.find(part), std::string::npos) << "no \"" << part << "\" in\n" << Utf8(text);
        ASSERT_TRUE(GetDlgItem(box, answer)) << "the question has no Yes and No buttons";
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
        ASSERT_TRUE(WaitUntilGone(box, 10000)) << "the question stayed open";
        Send(sheet_, WM_NULL);  // the apply has finished once this returns
        // Only the new boot file changes the next boot: then the restart question follows.
        EXPECT_EQ(DeclineRestart(500), answer == IDYES);
        if (answer == IDNO) {
            EXPECT_EQ(ReadWholeFile(kBootFile), "<missing>");
        }
    }
    EXPECT_EQ(ReadWholeFile(kBootFile), "C:\\WINDOWS\\KESTRO DIRQ=11\r\n");
    // Under its upper-case 8.3 name, so that the FAT file system stores no long name for it.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(kBootFile, &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    EXPECT_STREQ(found.cFileName, "AUTOEXEC.BAT");
}

TEST_F(SettingPage, BrowseOpensInTheUtilityDirectoryThenWhereTheLastFileWas) {
    ASSERT_TRUE(WriteWholeFile("C:\\KESTRO\\UTIL\\newfirm.bin", "firmware"));
    CreateDirectoryA("C:\\banks", nullptr);
    ASSERT_TRUE(WriteWholeFile("C:\\banks\\master.94b", "bank"));
    ASSERT_TRUE(WriteWholeFile("C:\\banks\\slave.94b", "bank"));
    ASSERT_TRUE(OpenSettingPage());

    // A bare name resolves in the folder the dialog opened in.
    HWND dialog = OpenFileDialog(IDC_BROWSE_FIRMWARE, FirmwareTitle());
    ASSERT_TRUE(dialog);
    Shot("setting-browse", dialog);
    FinishFileDialog(dialog, "newfirm.bin");
    EXPECT_EQ(TextOf(Item(IDC_FIRMWARE_PATH)), "C:\\KESTRO\\UTIL\\NEWFIRM.BIN");
    EXPECT_TRUE(ApplyEnabled());

    dialog = OpenFileDialog(IDC_BROWSE_MASTERBANK, MasterBankTitle());
    ASSERT_TRUE(dialog);
    FinishFileDialog(dialog, "c:\\banks\\master.94b");
    EXPECT_EQ(TextOf(Item(IDC_MASTERBANK_PATH)), "C:\\BANKS\\MASTER.94B");

    // The slave bank's dialog opens where the master bank was found.
    dialog = OpenFileDialog(IDC_BROWSE_SLAVEBANK, SlaveBankTitle());
    ASSERT_TRUE(dialog);
    FinishFileDialog(dialog, "slave.94b");
    EXPECT_EQ(TextOf(Item(IDC_SLAVEBANK_PATH)), "C:\\BANKS\\SLAVE.94B");
    Shot("setting-browsed");

    Apply();
    const std::string ini = ReadWholeFile(kIniFile);
    for (const char* line : {"FirmWare=C:\\KESTRO\\UTIL\\NEWFIRM.BIN", "Sound Font Bank Master=C:\\BANKS\\MASTER.94B",
                             "Sound Font Bank Slave=C:\\BANKS\\SLAVE.94B"})
        EXPECT_NE(ini.find(line), std::string::npos) << "no line " << line << " in\n" << ini;
}

TEST_F(SettingPage, BrowsePicksThatCannotBeKeptAreToldOrRefused) {
    // A bank whose path, 258 characters, is longer than the settings hold.
    const std::string folder = "C:\\" + std::string(200, 'D');
    const std::string name = std::string(50, 'B') + ".94B";
    const std::string longPath = folder + "\\" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(WriteWholeFile(longPath.c_str(), "bank"));
    ASSERT_TRUE(OpenSettingPage());
    const std::string kept = TextOf(Item(IDC_MASTERBANK_PATH));

    HWND dialog = OpenFileDialog(IDC_BROWSE_MASTERBANK, MasterBankTitle());
    ASSERT_TRUE(dialog);
    FinishFileDialog(dialog, longPath.c_str());
    HWND box = WaitForOwnedDialog(panel_.Pid(), sheet_, 10000);
    ASSERT_TRUE(box) << "no message box owned by the sheet";
    std::string text;
    EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
    for (const std::string& part : {Ansi(Korean() ? ": 경로가 너무 깁니다." : ": the path is too long."), name})
        EXPECT_NE(text.find(part), std::string::npos) << "no \"" << Utf8(part) << "\" in\n" << Utf8(text);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    ASSERT_TRUE(WaitUntilGone(box, 10000)) << "the message box stayed open";
    Send(page_, WM_NULL);
    EXPECT_EQ(TextOf(Item(IDC_MASTERBANK_PATH)), kept);

    // A file in a folder that does not exist, and a device: the dialog may refuse them itself
    // (then its message is closed and the dialog cancelled); either way nothing is kept.
    for (const char* typed : {"C:\\NOPE\\X.94B", "CON"}) {
        dialog = OpenFileDialog(IDC_BROWSE_MASTERBANK, MasterBankTitle());
        ASSERT_TRUE(dialog);
        SubmitFileName(dialog, typed);
        if (!WaitUntilGone(dialog, 3000)) {
            HWND refusal = WaitForOwnedDialog(panel_.Pid(), dialog, 1000);
            if (refusal) PostMessageA(refusal, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            ASSERT_TRUE(!refusal || WaitUntilGone(refusal, 10000)) << typed;
            FinishFileDialog(dialog, nullptr);
        }
        Send(page_, WM_NULL);
        EXPECT_EQ(TextOf(Item(IDC_MASTERBANK_PATH)), kept) << typed;
    }
    EXPECT_FALSE(ApplyEnabled());
    DeleteFileA(longPath.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(SettingPage, CancelledBrowseChangesNothing) {
    ASSERT_TRUE(OpenSettingPage());
    HWND dialog = OpenFileDialog(IDC_BROWSE_MASTERBANK, MasterBankTitle());
    ASSERT_TRUE(dialog);
    FinishFileDialog(dialog, nullptr);
    EXPECT_EQ(TextOf(Item(IDC_MASTERBANK_PATH)), "C:\\KESTRO\\UTIL\\TORBEL08.94B");
    EXPECT_FALSE(ApplyEnabled());
}

// run_marker.exe, built beside this driver, copied to each of the given paths.
bool PlantMarker(std::initializer_list<const char*> paths) {
    char self[MAX_PATH] = {0};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string marker = self;
    marker = marker.substr(0, marker.rfind('\\') + 1) + "run_marker.exe";
    bool copied = true;
    for (const char* path : paths) copied = CopyFileA(marker.c_str(), path, FALSE) && copied;
    return copied;
}

// Clicks Bank Manager and gives the upper-cased path of the program that ran, or "" after 15 s.
std::string RunBankManager(HWND button) {
    Send(button, BM_CLICK);
    // The marker holds its file unshared until it is whole, so the first read that opens it is complete.
    const DWORD start = GetTickCount();
    std::string ran;
    while ((ran = ReadWholeFile(kMarkerFile)) == "<missing>" && GetTickCount() - start < 15000) Sleep(100);
    if (ran == "<missing>") return "";
    CharUpperBuffA(&ran[0], static_cast<DWORD>(ran.size()));
    return ran;
}

TEST_F(SettingPage, BankManagerStartsControlInTheInstallation) {
    ASSERT_TRUE(PlantMarker({"C:\\KESTRO\\UTIL\\control.exe"}));
    ASSERT_TRUE(OpenSettingPage());
    EXPECT_EQ(RunBankManager(Item(IDC_BANK_MANAGER)), "C:\\KESTRO\\UTIL\\CONTROL.EXE")
        << "the bank manager did not run";
    EXPECT_FALSE(ApplyEnabled()) << "starting a program changes no setting";
    DeleteFileA("C:\\KESTRO\\UTIL\\control.exe");
}

TEST_F(SettingPage, BankManagerUnderAPathWithBlanksStartsNoOtherProgram) {
    // The installation under C:\Program Files, and a program where an unquoted command line finds one.
    std::string ini = ReadWholeFile(kIniFile);
    const std::string defaultPath = "Path=C:\\Kestro";
    ASSERT_NE(ini.find(defaultPath), std::string::npos);
    ini.replace(ini.find(defaultPath), defaultPath.size(), "Path=C:\\Program Files\\Kestro");
    ASSERT_TRUE(WriteWholeFile(kIniFile, ini));
    CreateDirectoryA("C:\\Program Files\\Kestro", nullptr);
    CreateDirectoryA("C:\\Program Files\\Kestro\\util", nullptr);
    const bool planted = PlantMarker({"C:\\Program Files\\Kestro\\util\\control.exe", "C:\\PROGRAM.EXE"});
    if (planted && OpenSettingPage()) {
        EXPECT_EQ(RunBankManager(Item(IDC_BANK_MANAGER)), "C:\\PROGRAM FILES\\KESTRO\\UTIL\\CONTROL.EXE");
    }
    DeleteFileA("C:\\PROGRAM.EXE");
    DeleteFileA("C:\\Program Files\\Kestro\\util\\control.exe");
    EXPECT_TRUE(planted);
}

}  // namespace
}  // namespace e2e
