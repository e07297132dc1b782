#include "ctrl_sheet.h"

#include "settings.h"

IMPLEMENT_DYNAMIC(CCtrlSheet, CPropertySheet)

CCtrlSheet::CCtrlSheet(const char* caption) : CPropertySheet(caption) {
    AddPage(&m_infoPage);
    AddPage(&m_settingPage);
}

bool CCtrlSheet::OnInitDialog() {
    bool result = CPropertySheet::OnInitDialog();
    ComputeIniPath();
    LoadInstallPath();
    LoadFileSettings();
    return result;
}
