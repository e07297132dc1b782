#include "info_page.h"

#include "resource.h"

IMPLEMENT_DYNAMIC(CInfoPage, CPropertyPage)

CInfoPage::CInfoPage() : CPropertyPage(IDD_INFO) {}

bool CInfoPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == static_cast<UINT>(PSN_HELP)) {
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
