// The control sheet: the panel's one window, holding the Information and Setting pages.
#pragma once
#include "afxdlgs.h"
#include "info_page.h"
#include "setting_page.h"

class CCtrlSheet : public CPropertySheet {
    DECLARE_DYNAMIC(CCtrlSheet)
public:
    // Adds the pages in tab order: Information first, so the sheet opens on it.
    explicit CCtrlSheet(const char* caption);
    // Before any page is active: loads the INI path, the install path and the file settings.
    bool OnInitDialog() override;

    CInfoPage m_infoPage;
    CSettingPage m_settingPage;
};
