#include "info_page.h"

#include "info_texts.h"
#include "panel_app.h"
#include "pci_config.h"
#include "resource.h"

IMPLEMENT_DYNAMIC(CInfoPage, CPropertyPage)

// Slot i of the texts is shown in control IDC_INFO_FIRST + i.
static_assert(IDC_INFO_COUNT == InfoTextCount, "a text slot without its control");

CInfoPage::CInfoPage() : CPropertyPage(IDD_INFO) {}

bool CInfoPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == static_cast<UINT>(PSN_SETACTIVE)) {
        FillInfoPage();
    } else if (header->code == static_cast<UINT>(PSN_HELP)) {
        *pResult = FALSE;
        return true;
    }
    return CPropertyPage::OnNotify(wParam, lParam, pResult);
}

bool CInfoPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    return true;
}

bool CInfoPage::OnApply() {
    SetModified(false);
    return CPropertyPage::OnApply();
}

void CInfoPage::FillInfoPage() {
    FillInfoTexts(PlatformInfoSource(), PciConfigRead, KoreanUi);
    // Slots 2 and 3 have no control: the platform ignores those ids.
    for (int i = 0; i < InfoTextCount; ++i) SetDlgItemText(IDC_INFO_FIRST + i, InfoTexts[i]);
}
