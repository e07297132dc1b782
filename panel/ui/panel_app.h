// The panel program's application object, its language and its caption.
#pragma once
#include "afxwin.h"

// True when the user's default language is Korean; picks every run-time text's Korean form.
extern bool KoreanUi;
// The sheet's caption, which is also how a running panel is recognised.
extern CString PanelTitle;

extern const char PanelTitleEnglish[];
extern const char PanelTitleKorean[];  // code page 949

// A text of the string table in the language KoreanUi picks.
CString UiText(unsigned id);

// Chooses the language, refuses a second copy, and runs the control sheet.
class CPanelApp : public CWinApp {
public:
    CPanelApp() = default;
    // Runs the whole program; always false, so the framework ends the process afterwards.
    bool InitInstance() override;
};
