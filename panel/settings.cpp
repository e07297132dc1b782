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

// What survives a 256-byte buffer, upper-cased with double-byte characters kept whole.
CString StoredUpper(const CString& value, LeadBytePredicate isLeadByte) {
    CString text = value.Left(SettingTextLimit);
    UpperCaseAnsi(text.GetBuffer(text.GetLength()), isLeadByte);
    text.ReleaseBuffer();
    return text;
}

CString ReadUpper(SettingsStore& store, const char* section, const char* key, const char* def) {
    return StoredUpper(store.ReadIniString(IniPath, section, key, def), store.LeadBytes());
}

}  // namespace

void ComputeIniPath(SettingsStore& store) {
    IniPath.Format("%s\\Tessan.ini", store.GetEnvironment("winbootdir").c_str());
}

void LoadInstallPath(SettingsStore& store) {
    InstallPath = ReadUpper(store, IniSectionSetup, IniKeyPath, DefaultInstallPath);
}

void LoadFileSettings(SettingsStore& store) {
    AppliedSettings.firmwarePath = ReadUpper(store, IniSectionFiles, IniKeyFirmware, DefaultFirmware);
    AppliedSettings.masterBankPath = ReadUpper(store, IniSectionFiles, IniKeyMasterBank, DefaultBank);
    AppliedSettings.slaveBankPath = ReadUpper(store, IniSectionFiles, IniKeySlaveBank, DefaultBank);
}

void LoadAutoCheck(SettingsStore& store) {
    AppliedSettings.autoCheck = store.ReadProfileInt(ProfileSection, ProfileAutoCheck, 1) == 1 ? "1" : "0";
}

SaveFailure WriteFileSetting(SettingsStore& store, const char* key, const CString& value) {
    // Written as it stands: a percent sign in a path is never taken for a format.
    return store.WriteIniString(IniPath, IniSectionFiles, key, value);
}

FileSettingsSave SaveFileSettings(SettingsStore& store) {
    const char* const keys[] = {IniKeyFirmware, IniKeyMasterBank, IniKeySlaveBank};
    const CString* const values[] = {&AppliedSettings.firmwarePath, &AppliedSettings.masterBankPath,
                                     &AppliedSettings.slaveBankPath};
    FileSettingsSave result = {FileSettingsSaved::None, SaveFailure::None};
    const unsigned count = sizeof keys / sizeof keys[0];
    unsigned written = 0;
    for (; written < count; ++written) {
        result.failure = WriteFileSetting(store, keys[written], *values[written]);
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
