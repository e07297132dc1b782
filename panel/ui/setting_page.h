// The Setting page: interrupt, I/O address, automatic detection, firmware and sound banks.
#pragma once
#include "afxdlgs.h"

class CSettingPage : public CPropertyPage {
    DECLARE_DYNAMIC(CSettingPage)
public:
    CSettingPage();
    // Page notifications: the page offers no help.
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // Binds the lists, the check box and the buttons; exchanges the three path fields.
    void DoDataExchange(CDataExchange* pDX) override;
    // First opening of the page: the file dialogs' directory and the automatic-detection value.
    bool OnInitDialog() override;
    // Marks the page unchanged, then accepts.
    bool OnApply() override;

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
};
