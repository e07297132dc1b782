// The Information page: what the card is, the Windows version, the chipset and the driver files.
#pragma once
#include "afxdlgs.h"

class CInfoPage : public CPropertyPage {
    DECLARE_DYNAMIC(CInfoPage)
public:
    CInfoPage();
    // Page notifications: every activation refills the texts; the page offers no help.
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    bool OnInitDialog() override;
    // Marks the page unchanged, then accepts.
    bool OnApply() override;

    // Collects the Windows version, chipset and driver files afresh and shows them.
    void FillInfoPage();
};
