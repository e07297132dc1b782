#include "panel_app.h"

#include "ctrl_sheet.h"

bool KoreanUi = false;
CString PanelTitle;

const char PanelTitleEnglish[] = "Quenley Zentaro Control Pannel";
const char PanelTitleKorean[] = "Quenley Zentaro \xC1\xA6\xBE\xEE\xC6\xC7";

namespace {
const LANGID PrimaryLanguageMask = 0x3FF;
const LANGID PrimaryLanguageKorean = 0x12;
const char PanelMutexPrefix[] = "Orrivan ";
}  // namespace

CString UiText(unsigned id) {
    return AfxLoadString(id, KoreanUi ? MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT)
                                      : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
}

bool CPanelApp::InitInstance() {
    Enable3dControlsStatic();
    SetRegistryKey("Tavish Corp.");

    KoreanUi = (GetUserDefaultLangID() & PrimaryLanguageMask) == PrimaryLanguageKorean;
    PanelTitle = KoreanUi ? PanelTitleKorean : PanelTitleEnglish;

    // One panel per desktop. Starts a moment apart would all pass the caption test before any sheet
    // exists, so the first start takes a name made of the caption for the life of its process (the
    // handle is never closed) and a later start ends silently. Any top-level window with our
    // caption, even another program's, still ends this copy too. Windows 9x may leave an earlier
    // error in place when the name is new, so the error is cleared first.
    SetLastError(0);
    if (CreateMutexA(nullptr, FALSE, CString(PanelMutexPrefix) + PanelTitle) &&
        GetLastError() == ERROR_ALREADY_EXISTS)
        return false;
    if (FindWindowA(nullptr, PanelTitle)) return false;

    CCtrlSheet sheet(PanelTitle);
    m_pMainWnd = &sheet;
    sheet.DoModal();
    m_pMainWnd = nullptr;
    return false;
}
