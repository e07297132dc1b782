#include "setting_page.h"

#include "resource.h"
#include "settings.h"

IMPLEMENT_DYNAMIC(CSettingPage, CPropertyPage)

CSettingPage::CSettingPage() : CPropertyPage(IDD_SETTING) {}

bool CSettingPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == static_cast<UINT>(PSN_HELP)) {
        *pResult = 0;
        return true;
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
