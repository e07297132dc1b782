#include "not_saved_text.h"

#include "resource.h"
#include "text_format.h"

namespace {

// The reasons' texts follow the order of SaveFailure.
static_assert(IDS_WHY_OTHER - IDS_WHY_READ_ONLY ==
                  static_cast<int>(SaveFailure::Other) - static_cast<int>(SaveFailure::ReadOnly),
              "reason texts out of the order of SaveFailure");

// What the INI file did not save, by FileSettingsSaved (nothing is said of All).
const unsigned IniTexts[] = {IDS_NOT_SAVED_INI, IDS_NOT_SAVED_INI_BANKS, IDS_NOT_SAVED_INI_SLAVE, 0,
                             IDS_NOT_SAVED_INI_FLUSH};
// What the boot file did not save, by where its old contents are (OldBootFile).
const unsigned BootTexts[] = {IDS_NOT_SAVED_BOOT, IDS_NOT_SAVED_BOOT_RESTORED, IDS_NOT_SAVED_BOOT_MISSING};

// Adds what was not saved in path, and why (refused names what refused), to text; nothing when it
// was saved. The text of a restored or missing boot file goes on with the spare file spareFile and
// path again.
void AddNotSaved(CString& text, UiTextLoader uiText, unsigned what, const char* path, SaveFailure failure,
                 const char* refused, const char* spareFile = "") {
    if (failure == SaveFailure::None) return;
    const unsigned why = IDS_WHY_READ_ONLY + static_cast<unsigned>(failure) - static_cast<unsigned>(SaveFailure::ReadOnly);
    char reason[FormatTextLimit + 1];
    FormatText(reason, sizeof reason, uiText(why), refused);
    CString paragraph;
    paragraph.Format(uiText(what), path, reason, spareFile, path);
    if (!text.IsEmpty()) text += "\n\n";
    text += paragraph;
}

}  // namespace

CString NotSavedText(const FileSettingsSave& ini, const BootSaveReport& boot, UiTextLoader uiText) {
    CString text;
    AddNotSaved(text, uiText, IniTexts[static_cast<int>(ini.saved)], IniPath, ini.failure, IniPath);
    AddNotSaved(text, uiText, BootTexts[static_cast<int>(boot.old)], BootFilePath, boot.failure.reason,
                boot.failure.subject, boot.spareFile);
    return text;
}
