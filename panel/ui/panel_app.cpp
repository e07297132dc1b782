#include "panel_app.h"

#include "ctrl_sheet.h"

bool KoreanUi = false;
CString PanelTitle;

const char PanelTitleEnglish[] = "Quenley Zentaro Control Pannel";
const char PanelTitleKorean[] = "Quenley Zentaro \xC1\xA6\xBE\xEE\xC6\xC7";

namespace {
const LANGID PrimaryLanguageMask = 0x3FF;
const LANGID PrimaryLanguageKorean = 0x12;
}  // namespace

bool CPanelApp::InitInstance() {
    Enable3dControlsStatic();
    SetRegistryKey("Tavish Corp.");

    KoreanUi = (GetUserDefaultLangID() & PrimaryLanguageMask) == PrimaryLanguageKorean;
    PanelTitle = KoreanUi ? PanelTitleKorean : PanelTitleEnglish;

    // One panel per desktop: any top-level window with our caption, even another program's,
    // ends this copy silently.
    if (FindWindowA(nullptr, PanelTitle)) return false;

    CCtrlSheet sheet(PanelTitle);
    m_pMainWnd = &sheet;
    sheet.DoModal();
    m_pMainWnd = nullptr;
    return false;
}
