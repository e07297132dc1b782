#include "settings.h"

// Constructed before the pages exist and destroyed at exit; the applied copy first.
CardSettings AppliedSettings;
CardSettings PendingSettings;
CString IniPath;
CString InstallPath;

const char IniSectionSetup[] = "Setup";
const char IniKeyPath[] = "Path";
const char IniSectionFiles[] = "Tessan";
const char IniKeyFirmware[] = "FirmWare";
const char IniKeyMasterBank[] = "Sound Font Bank Master";
const char IniKeySlaveBank[] = "Sound Font Bank Slave";
const char ProfileSection[] = "Control Pannel";
const char ProfileAutoCheck[] = "Auto Check";

namespace {

const char DefaultInstallPath[] = "C:\\KESTRO";
const char DefaultFirmware[] = "PELKAD.BIN";
const char DefaultBank[] = "TORBEL08.94B";

// The key's value upper-cased, double-byte characters kept whole; longer than a setting keeps when
// the file holds more.
CString ReadUpper(SettingsStore& store, const char* section, const char* key, const char* def) {
    CString text = store.ReadIniString(IniPath, section, key, def);
    UpperCaseAnsi(text.GetBuffer(text.GetLength()), store.LeadBytes());
    text.ReleaseBuffer();
    return text;
}

// The file settings, in the order they are saved.
const struct {
    const char* key;
    CString CardSettings::*value;
    const char* defaultValue;
} FileSettings[] = {
    {IniKeyFirmware, &CardSettings::firmwarePath, DefaultFirmware},
    {IniKeyMasterBank, &CardSettings::masterBankPath, DefaultBank},
    {IniKeySlaveBank, &CardSettings::slaveBankPath, DefaultBank},
};
const unsigned FileSettingCount = sizeof FileSettings / sizeof FileSettings[0];

// Of each file setting, the text it loaded as when the INI file held more than a setting keeps;
// empty otherwise (its other members stay empty). Written back, that cut text would name another
// file: the INI file keeps its own value until another file is picked.
CardSettings LoadedCut;

}  // namespace

void ComputeIniPath(SettingsStore& store) {
    IniPath.Format("%s\\Tessan.ini", store.WindowsDirectory().c_str());
}

void LoadInstallPath(SettingsStore& store) {
    InstallPath = ReadUpper(store, IniSectionSetup, IniKeyPath, DefaultInstallPath).Left(SettingTextLimit);
}

void LoadFileSettings(SettingsStore& store) {
    for (unsigned i = 0; i < FileSettingCount; ++i) {
        const CString text = ReadUpper(store, IniSectionFiles, FileSettings[i].key, FileSettings[i].defaultValue);
        CString& value = AppliedSettings.*FileSettings[i].value;
        value = text.Left(SettingTextLimit);
        CString& cut = LoadedCut.*FileSettings[i].value;
        cut.Empty();
        if (text.GetLength() > SettingTextLimit) cut = value;
    }
}

void LoadAutoCheck(SettingsStore& store) {
    AppliedSettings.autoCheck = store.ReadProfileInt(ProfileSection, ProfileAutoCheck, 1) == 1 ? "1" : "0";
}

SaveFailure WriteFileSetting(SettingsStore& store, const char* key, const CString& value) {
    // Written as it stands: a percent sign in a path is never taken for a format.
    return store.WriteIniString(IniPath, IniSectionFiles, key, value);
}

FileSettingsSave SaveFileSettings(SettingsStore& store) {
    FileSettingsSave result = {FileSettingsSaved::None, SaveFailure::None};
    unsigned written = 0;
    for (; written < FileSettingCount; ++written) {
        const CString& value = AppliedSettings.*FileSettings[written].value;
        // A kept value counts as saved: the file holds what the user chose.
        if (!value.IsEmpty() && value == LoadedCut.*FileSettings[written].value) continue;
        result.failure = WriteFileSetting(store, FileSettings[written].key, value);
        if (result.failure != SaveFailure::None) break;
    }
    result.saved = static_cast<FileSettingsSaved>(written);
    if (written == 0) return result;
    // Windows 9x keeps profile writes in a cache and reports success; only the flush tells.
    const SaveFailure flushed = store.FlushIni(IniPath);
    if (flushed != SaveFailure::None) result = {FileSettingsSaved::NotFlushed, flushed};
    return result;
}

void SaveAutoCheck(SettingsStore& store) {
    store.WriteProfileInt(ProfileSection, ProfileAutoCheck, AppliedSettings.autoCheck == "1" ? 1 : 0);
}
