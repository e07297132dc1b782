// The Setting page: interrupt, I/O address, automatic detection, firmware and sound banks.
#pragma once
#include "afxdlgs.h"
#include "bootfile.h"
#include "settings.h"

class CSettingPage : public CPropertyPage {
    DECLARE_DYNAMIC(CSettingPage)
public:
    CSettingPage();
    // Page notifications: activation shows the applied settings, apply stores them, no help.
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // Binds the lists, the check box and the buttons; exchanges the three path fields.
    void DoDataExchange(CDataExchange* pDX) override;
    // First opening of the page: the file dialogs' directory and the automatic-detection value.
    bool OnInitDialog() override;
    // Marks the page unchanged, then accepts.
    bool OnApply() override;
    // What a Browse button chooses a file for (setting_page.cpp).
    struct BrowseTarget;

    CString m_strLastDir;   // where the next file dialog opens; shared by the three Browse buttons
    CString m_strLastFile;  // file name chosen in the last file dialog
    CComboBox m_cbIrq;
    CComboBox m_cbPort;
    CButton m_chkAutoDetect;
    CButton m_btnSystemInfo;
    CButton m_btnBrowseSlaveBank;
    CButton m_btnMultimediaInfo;
    CButton m_btnBrowseMasterBank;
    CButton m_btnBankManager;
    CButton m_btnBrowseFirmware;
    CString m_strFirmwareText;
    CString m_strMasterBankText;
    CString m_strSlaveBankText;

private:
    // Every activation: the card's resources, then AppliedSettings on screen and in PendingSettings.
    void RefreshFromApplied();
    // When the card is found, fills empty interrupt and address fields of AppliedSettings: from
    // the tool's line in the boot file where it sets them, else from the card.
    void SelectDetectedResources();
    // The check box and the lists' enabled state from AppliedSettings.
    void ShowAutoDetect();
    // The three path fields from AppliedSettings.
    void ShowFileTexts();
    // The first part of every apply: PendingSettings becomes AppliedSettings, then the INI file and
    // the boot file are written; what became of each.
    void ApplySettings(FileSettingsSave& ini, BootSaveReport& boot);
    // When the apply had a choice to write and no boot file to hold it: asks the user, in a message
    // box owned by the sheet, whether to create C:\AUTOEXEC.BAT holding the tool's line, and creates
    // it on Yes; boot then tells how that went. No leaves the machine as it is.
    void OfferBootFile(BootSaveReport& boot);
    // Tells the user, in a message box owned by the sheet, what each file did not save and why;
    // nothing when both were saved.
    void ReportFailedApply(const FileSettingsSave& ini, const BootSaveReport& boot);
    // After an apply that saved everything and changed what the next boot does, asks, as Windows
    // does, whether to restart now; restarts on Yes.
    void OfferRestart(const FileSettingsSave& ini, const BootSaveReport& boot);
    // Runs the file-open dialog in m_strLastDir; true when an existing file that the settings can
    // hold was chosen, which then sets m_strLastDir and m_strLastFile. A path too long to be kept
    // is told in a message box owned by the sheet.
    bool BrowseForFile(const char* fileName, const char* filter, const char* title);
    // A Browse button: lets the user choose a file for the target's setting and shows it.
    void BrowseInto(const BrowseTarget& target);
    // Both lists enabled (automatic detection off) or disabled; the address list first.
    void EnableLists(bool enable);

    void OnSelchangeIrq();
    void OnSelchangePort();
    void OnAutoDetect();
    void OnSystemInfo();
    void OnBrowseSlaveBank();
    void OnMultimediaInfo();
    void OnBrowseMasterBank();
    void OnBrowseFirmware();
    void OnBankManager();

    DECLARE_MESSAGE_MAP()
};
