// The text of the "Settings not saved" message, composed without a window so that it is tested
// natively: for the INI file and the boot file, what was not saved and why.
#pragma once
#include "bootfile.h"
#include "cstring.h"
#include "settings.h"

// A text of the string table in the user's language; empty when missing.
typedef CString (*UiTextLoader)(unsigned id);

// One paragraph per file that was not saved: what it holds now, with the reason that names what
// refused; empty when both were saved.
CString NotSavedText(const FileSettingsSave& ini, const BootSaveReport& boot, UiTextLoader uiText);
