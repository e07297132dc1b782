// The "Settings not saved" message: which text each failure picks, and what fills it.
#include "not_saved_text.h"

#include <gtest/gtest.h>

#include <string>

#include "resource.h"

namespace {

// Each text shows its id and where its arguments go: a reason takes what refused, a paragraph the
// file's path, the reason, the spare file and the path again.
CString FakeUiText(unsigned id) {
    CString text;
    text.Format(id >= IDS_WHY_READ_ONLY && id <= IDS_WHY_OTHER ? "why%u(%%s)" : "what%u[%%s|%%s|%%s|%%s]", id);
    return text;
}

std::string Paragraph(unsigned what, const std::string& path, unsigned why, const std::string& refused,
                      const std::string& spare = "") {
    return "what" + std::to_string(what) + "[" + path + "|why" + std::to_string(why) + "(" + refused + ")|" + spare +
           "|" + path + "]";
}

struct NotSavedCase {
    const char* name;
    FileSettingsSave ini;
    SaveFailure bootReason;
    const char* bootSubject;
    OldBootFile old;
    const char* spare;
    std::string expected;
};

TEST(NotSavedText, NamesWhatWasNotSavedAndWhatRefused) {
    IniPath = "C:\\WINDOWS\\Tessan.ini";
    const std::string ini = IniPath.c_str(), bat = BootFilePath;
    const FileSettingsSave saved = {FileSettingsSaved::All, SaveFailure::None};
    const NotSavedCase cases[] = {
        {"both saved", saved, SaveFailure::None, "", OldBootFile::InPlace, "", ""},
        {"the INI file refused its first key", {FileSettingsSaved::None, SaveFailure::ReadOnly}, SaveFailure::None, "",
         OldBootFile::InPlace, "", Paragraph(IDS_NOT_SAVED_INI, ini, IDS_WHY_READ_ONLY, ini)},
        {"the firmware alone saved", {FileSettingsSaved::FirmwareOnly, SaveFailure::InUse}, SaveFailure::None, "",
         OldBootFile::InPlace, "", Paragraph(IDS_NOT_SAVED_INI_BANKS, ini, IDS_WHY_IN_USE, ini)},
        {"all but the slave bank", {FileSettingsSaved::AllButSlaveBank, SaveFailure::DiskFull}, SaveFailure::None, "",
         OldBootFile::InPlace, "", Paragraph(IDS_NOT_SAVED_INI_SLAVE, ini, IDS_WHY_DISK_FULL, ini)},
        {"the cache not written", {FileSettingsSaved::NotFlushed, SaveFailure::Other}, SaveFailure::None, "",
         OldBootFile::InPlace, "", Paragraph(IDS_NOT_SAVED_INI_FLUSH, ini, IDS_WHY_OTHER, ini)},
        {"a spare name refused", saved, SaveFailure::ReadOnly, "C:\\AUTOEXEC.KN9", OldBootFile::InPlace, "",
         Paragraph(IDS_NOT_SAVED_BOOT, bat, IDS_WHY_READ_ONLY, "C:\\AUTOEXEC.KN9")},
        {"a tool line too long for DOS, named by its first words", saved, SaveFailure::LineTooLong, "if exist x...",
         OldBootFile::InPlace, "", Paragraph(IDS_NOT_SAVED_BOOT, bat, IDS_WHY_LINE_TOO_LONG, "if exist x...")},
        {"the boot file put back", saved, SaveFailure::TooManyLines, "C:\\AUTOEXEC.BAT", OldBootFile::Restored,
         "C:\\AUTOEXEC.KB2", Paragraph(IDS_NOT_SAVED_BOOT_RESTORED, bat, IDS_WHY_TOO_MANY_LINES, bat, "C:\\AUTOEXEC.KB2")},
        {"the boot file missing", saved, SaveFailure::Other, "C:\\AUTOEXEC.KN0", OldBootFile::Missing,
         "C:\\AUTOEXEC.KB0", Paragraph(IDS_NOT_SAVED_BOOT_MISSING, bat, IDS_WHY_OTHER, "C:\\AUTOEXEC.KN0", "C:\\AUTOEXEC.KB0")},
        {"both, the INI file first", {FileSettingsSaved::None, SaveFailure::PathTooLong}, SaveFailure::NotText,
         "C:\\AUTOEXEC.BAT", OldBootFile::InPlace, "",
         Paragraph(IDS_NOT_SAVED_INI, ini, IDS_WHY_PATH_TOO_LONG, ini) + "\n\n" +
             Paragraph(IDS_NOT_SAVED_BOOT, bat, IDS_WHY_NOT_TEXT, bat)},
    };
    for (const NotSavedCase& c : cases) {
        BootSaveReport boot;
        boot.failure.reason = c.bootReason;
        strcpy(boot.failure.subject, c.bootSubject);
        boot.old = c.old;
        strcpy(boot.spareFile, c.spare);
        EXPECT_EQ(std::string(NotSavedText(c.ini, boot, FakeUiText).c_str()), c.expected) << c.name;
    }
}

}  // namespace
