#include "setting_page.h"

#include "bootfile.h"
#include "card_probe.h"
#include "not_saved_text.h"
#include "panel_app.h"
#include "resource.h"
#include "restart.h"
#include "file_choice.h"
#include "settings.h"
#include "text_format.h"

IMPLEMENT_DYNAMIC(CSettingPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CSettingPage, CPropertyPage)
    ON_CBN_SELCHANGE(IDC_IRQ, &CSettingPage::OnSelchangeIrq)
    ON_CBN_SELCHANGE(IDC_PORT, &CSettingPage::OnSelchangePort)
    ON_BN_CLICKED(IDC_AUTODETECT, &CSettingPage::OnAutoDetect)
    ON_BN_CLICKED(IDC_SYSTEM_INFO, &CSettingPage::OnSystemInfo)
    ON_BN_CLICKED(IDC_BROWSE_SLAVEBANK, &CSettingPage::OnBrowseSlaveBank)
    ON_BN_CLICKED(IDC_MULTIMEDIA_INFO, &CSettingPage::OnMultimediaInfo)
    ON_BN_CLICKED(IDC_BROWSE_MASTERBANK, &CSettingPage::OnBrowseMasterBank)
    ON_BN_CLICKED(IDC_BROWSE_FIRMWARE, &CSettingPage::OnBrowseFirmware)
    ON_BN_CLICKED(IDC_BANK_MANAGER, &CSettingPage::OnBankManager)
END_MESSAGE_MAP()

namespace {

const char FirmwareFileName[] = "*.bin";
const char FirmwareFilter[] = "FirmWare File(*.bin)|*.bin|";
const char BankFileName[] = "*.94b";
const char BankFilter[] = "SoundBank File(*.94b)|*.94b|";

const char FirmwareTitleEnglish[] = "Select FirmWare for booting";
// "도스 초기화를 위한 펌웨어 선택" in code page 949
const char FirmwareTitleKorean[] =
    "\xB5\xB5\xBD\xBA \xC3\xCA\xB1\xE2\xC8\xAD\xB8\xA6 \xC0\xA7\xC7\xD1 \xC6\xDF\xBF\xFE\xBE\xEE \xBC\xB1\xC5\xC3";
const char MasterBankTitleEnglish[] = "Select SoundBank file for Master DSP";
// "마스터 뱅크파일 선택" in code page 949
const char MasterBankTitleKorean[] = "\xB8\xB6\xBD\xBA\xC5\xCD \xB9\xF0\xC5\xA9\xC6\xC4\xC0\xCF \xBC\xB1\xC5\xC3";
const char SlaveBankTitleEnglish[] = "Select SoundBank file for Slave DSP";
// "슬레이브 뱅크파일 선택" in code page 949
const char SlaveBankTitleKorean[] = "\xBD\xBD\xB7\xB9\xC0\xCC\xBA\xEA \xB9\xF0\xC5\xA9\xC6\xC4\xC0\xCF \xBC\xB1\xC5\xC3";

// Selects the entry of list that stands for value, or none, which also empties the edit field.
// Not CB_SELECTSTRING: it matches a prefix ("1" would show "10") and skips the card's " 5".
void ShowInList(CComboBox& list, const CString& value) {
    char entry[BootLineSize];
    CopyWithoutBlanks(value, entry);
    const LRESULT found = *entry ? list.SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                    reinterpret_cast<LPARAM>(entry))
                                 : CB_ERR;
    list.SetCurSel(found == CB_ERR ? -1 : static_cast<int>(found));
}

const char SystemInfoCommand[] = "rundll32 shell32,Control_RunDLL sysdm.cpl";
const char MultimediaInfoCommand[] = "rundll32 shell32,Control_RunDLL mmsys.cpl";

}  // namespace

CSettingPage::CSettingPage() : CPropertyPage(IDD_SETTING) {}

bool CSettingPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    switch (header->code) {
    case static_cast<UINT>(PSN_HELP):
        *pResult = 0;
        return true;
    case static_cast<UINT>(PSN_APPLY): {
        FileSettingsSave ini;
        BootSaveReport boot;
        ApplySettings(ini, boot);
        SaveAutoCheck();
        OfferBootFile(boot);
        ReportFailedApply(ini, boot);
        OfferRestart(ini, boot);
        break;
    }
    case static_cast<UINT>(PSN_SETACTIVE):
        RefreshFromApplied();
        break;
    default:
        break;
    }
    return CPropertyPage::OnNotify(wParam, lParam, pResult);
}

void CSettingPage::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_IRQ, m_cbIrq);
    DDX_Control(pDX, IDC_PORT, m_cbPort);
    DDX_Control(pDX, IDC_AUTODETECT, m_chkAutoDetect);
    DDX_Control(pDX, IDC_SYSTEM_INFO, m_btnSystemInfo);
    DDX_Control(pDX, IDC_BROWSE_SLAVEBANK, m_btnBrowseSlaveBank);
    DDX_Control(pDX, IDC_MULTIMEDIA_INFO, m_btnMultimediaInfo);
    DDX_Control(pDX, IDC_BROWSE_MASTERBANK, m_btnBrowseMasterBank);
    DDX_Control(pDX, IDC_BANK_MANAGER, m_btnBankManager);
    DDX_Control(pDX, IDC_BROWSE_FIRMWARE, m_btnBrowseFirmware);
    DDX_Text(pDX, IDC_FIRMWARE_PATH, m_strFirmwareText);
    DDX_Text(pDX, IDC_MASTERBANK_PATH, m_strMasterBankText);
    DDX_Text(pDX, IDC_SLAVEBANK_PATH, m_strSlaveBankText);
}

bool CSettingPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_strLastFile.Empty();
    m_strLastDir = InstallPath + "\\UTIL";
    LoadAutoCheck();
    return true;
}

bool CSettingPage::OnApply() {
    SetModified(false);
    return CPropertyPage::OnApply();
}

void CSettingPage::RefreshFromApplied() {
    SelectDetectedResources();
    ShowAutoDetect();
    ShowFileTexts();
    UpdateData(true);
    // Edits that were not applied are dropped with every activation, and so are the picks and the
    // typed text that showed them: each list shows what an apply would save.
    PendingSettings = AppliedSettings;
    ShowInList(m_cbPort, PendingSettings.port);
    ShowInList(m_cbIrq, PendingSettings.irq);
}

void CSettingPage::SelectDetectedResources() {
    const CardProbeResult card = CardProbe(CardProbeMode::FirstMatch);
    if (!card.found) return;
    // Taken only the first time: later activations keep what was taken or applied. A change
    // applied in an earlier run waits on the tool's line for the restart; the next boot does
    // that, not what the card reports now.
    BootToolOptions next;
    if (AppliedSettings.port.IsEmpty() || AppliedSettings.irq.IsEmpty()) next = ReadBootToolOptions();
    AdoptProbeText(AppliedSettings.port, next.port.IsEmpty() ? card.portText : next.port.c_str());
    AdoptProbeText(AppliedSettings.irq, next.irq.IsEmpty() ? card.irqText : next.irq.c_str());
}

void CSettingPage::ShowAutoDetect() {
    const bool autoDetect = AppliedSettings.autoCheck == "1";
    m_chkAutoDetect.SetCheck(autoDetect ? BST_CHECKED : BST_UNCHECKED);
    EnableLists(!autoDetect);
}

void CSettingPage::ShowFileTexts() {
    SetDlgItemText(IDC_FIRMWARE_PATH, AppliedSettings.firmwarePath);
    SetDlgItemText(IDC_MASTERBANK_PATH, AppliedSettings.masterBankPath);
    SetDlgItemText(IDC_SLAVEBANK_PATH, AppliedSettings.slaveBankPath);
}

void CSettingPage::EnableLists(bool enable) {
    m_cbPort.EnableWindow(enable);
    m_cbIrq.EnableWindow(enable);
}

void CSettingPage::ApplySettings(FileSettingsSave& ini, BootSaveReport& boot) {
    AppliedSettings = PendingSettings;
    ini = SaveFileSettings();
    // The box as it is now decides, not the autoCheck text.
    ApplyBootSettings(m_chkAutoDetect.GetCheck() == BST_CHECKED, boot);
}

void CSettingPage::OfferBootFile(BootSaveReport& boot) {
    if (!boot.newFileLine[0]) return;
    CString text;
    text.Format(UiText(IDS_ASK_CREATE_BOOT), BootFilePath, boot.newFileLine);
    if (MessageBoxA(::GetParent(m_hWnd), text, PanelTitle, MB_YESNO | MB_ICONQUESTION) == IDYES)
        ApplyBootSettings(m_chkAutoDetect.GetCheck() == BST_CHECKED, boot, MissingBootFile::Create);
}

void CSettingPage::OfferRestart(const FileSettingsSave& ini, const BootSaveReport& boot) {
    ::OfferRestart(::GetParent(m_hWnd), UiText(IDS_ASK_RESTART), PanelTitle,
                   ini.failure == SaveFailure::None && boot.failure.reason == SaveFailure::None, boot.nextBootChanged);
}

void CSettingPage::ReportFailedApply(const FileSettingsSave& ini, const BootSaveReport& boot) {
    const CString text = NotSavedText(ini, boot, UiText);
    if (text.IsEmpty()) return;
    MessageBoxA(::GetParent(m_hWnd), text, UiText(IDS_NOT_SAVED_CAPTION), MB_OK | MB_ICONEXCLAMATION);
}

bool CSettingPage::BrowseForFile(const char* fileName, const char* filter, const char* title) {
    CFileDialog dialog(fileName, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST, filter);
    if (m_strLastDir.IsEmpty()) {
        // The directory of the program itself. A path cut by the buffer would name another
        // directory, so then the dialog picks its own.
        char module[MAX_PATH + 1] = {0};
        const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
        if (length > 0 && length < sizeof module - 1) m_strLastDir = DirectoryOfPath(module, AfxIsLeadByte);
    }
    const CString initialDir = DialogDirectory(m_strLastDir);
    dialog.m_ofn.lpstrInitialDir = initialDir.IsEmpty() ? nullptr : initialDir.c_str();
    dialog.m_ofn.lpstrTitle = title;
    if (dialog.DoModal() != IDOK) return false;

    const CString file = dialog.GetFileName();
    if (file.IsEmpty()) return false;
    const CString path = dialog.GetPathName();
    // The dialog's flags stop a missing file, yet a device name such as CON passes them: the
    // card could not boot from either.
    if (!IsOrdinaryFile(path)) return false;
    // A choice the INI file could not give back whole would turn into another path at the next
    // start: keep the current one instead, and say why the pick did not take. (The stored setting
    // is this path upper-cased, so it has the same length.)
    if (!FitsSettingText(path)) {
        CString text;
        text.Format(UiText(IDS_WHY_PATH_TOO_LONG), path.c_str());
        MessageBoxA(::GetParent(m_hWnd), text, PanelTitle, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    m_strLastDir = DirectoryOfPath(path, AfxIsLeadByte);
    m_strLastFile = file;
    return true;
}

// The setting in PendingSettings and the control that shows it, and the dialog's file name,
// filter and titles.
struct CSettingPage::BrowseTarget {
    CString CardSettings::*setting;
    int pathId;
    const char* fileName;
    const char* filter;
    const char* englishTitle;
    const char* koreanTitle;
};

namespace {

const CSettingPage::BrowseTarget SlaveBankBrowse = {&CardSettings::slaveBankPath, IDC_SLAVEBANK_PATH, BankFileName,
                                                    BankFilter, SlaveBankTitleEnglish, SlaveBankTitleKorean};
const CSettingPage::BrowseTarget MasterBankBrowse = {&CardSettings::masterBankPath, IDC_MASTERBANK_PATH,
                                                     BankFileName, BankFilter, MasterBankTitleEnglish,
                                                     MasterBankTitleKorean};
const CSettingPage::BrowseTarget FirmwareBrowse = {&CardSettings::firmwarePath, IDC_FIRMWARE_PATH, FirmwareFileName,
                                                   FirmwareFilter, FirmwareTitleEnglish, FirmwareTitleKorean};

}  // namespace

void CSettingPage::BrowseInto(const BrowseTarget& target) {
    const char* title = KoreanUi ? target.koreanTitle : target.englishTitle;
    if (BrowseForFile(target.fileName, target.filter, title)) {
        CString& field = PendingSettings.*target.setting;
        field = ChosenFileSetting(m_strLastDir, m_strLastFile, AfxIsLeadByte);
        SetDlgItemText(target.pathId, field);
        SetModified(true);
    }
    UpdateData(true);
}

// ---- Handlers, in message-map order ------------------------------------------------------------

void CSettingPage::OnSelchangeIrq() {
    const int selected = m_cbIrq.GetCurSel();
    if (selected == CB_ERR) return;  // nothing picked: nothing to store
    m_cbIrq.GetLBText(selected, PendingSettings.irq);
    SetModified(true);
}

void CSettingPage::OnSelchangePort() {
    const int selected = m_cbPort.GetCurSel();
    if (selected == CB_ERR) return;
    m_cbPort.GetLBText(selected, PendingSettings.port);
    SetModified(true);
}

void CSettingPage::OnAutoDetect() {
    PendingSettings.autoCheck.Format("%d", m_chkAutoDetect.GetCheck());
    EnableLists(PendingSettings.autoCheck != "1");
    SetModified(true);
    UpdateData(true);
}

void CSettingPage::OnSystemInfo() {
    // A program that cannot be started is not reported.
    WinExec(SystemInfoCommand, SW_SHOW);
}

void CSettingPage::OnBrowseSlaveBank() { BrowseInto(SlaveBankBrowse); }

void CSettingPage::OnMultimediaInfo() { WinExec(MultimediaInfoCommand, SW_SHOW); }

void CSettingPage::OnBrowseMasterBank() { BrowseInto(MasterBankBrowse); }

void CSettingPage::OnBrowseFirmware() { BrowseInto(FirmwareBrowse); }

void CSettingPage::OnBankManager() {
    // Quoted: under C:\PROGRAM FILES an unquoted line would start C:\PROGRAM.EXE when there is one.
    CString command;
    command.Format("\"%s\\util\\control.exe\"", InstallPath.c_str());
    WinExec(command, SW_SHOW);
}
