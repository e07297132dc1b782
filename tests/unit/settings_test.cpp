#include "settings.h"
#include "lead_bytes.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

// An in-memory stand-in for the Windows directory, the INI files and the registry profile.
class FakeStore : public SettingsStore {
public:
    std::string windowsDirectory;
    std::map<std::tuple<std::string, std::string, std::string>, std::string> ini;  // path, section, key
    std::map<std::pair<std::string, std::string>, int> profile;
    std::string lastIniPath;
    std::map<std::string, SaveFailure> refusedKeys;
    SaveFailure flushFailure = SaveFailure::None;
    std::vector<std::string> flushed;

    CString WindowsDirectory() override { return CString(windowsDirectory.c_str()); }
    CString ReadIniString(const char* path, const char* section, const char* key, const char* def) override {
        lastIniPath = path;
        auto it = ini.find({path, section, key});
        return it == ini.end() ? CString(def) : CString(it->second.c_str());
    }
    SaveFailure WriteIniString(const char* path, const char* section, const char* key, const char* value) override {
        auto refused = refusedKeys.find(key);
        if (refused != refusedKeys.end()) return refused->second;
        ini[{path, section, key}] = value;
        return SaveFailure::None;
    }
    SaveFailure FlushIni(const char* path) override {
        flushed.push_back(path);
        return flushFailure;
    }
    int ReadProfileInt(const char* section, const char* entry, int def) override {
        auto it = profile.find({section, entry});
        return it == profile.end() ? def : it->second;
    }
    void WriteProfileInt(const char* section, const char* entry, int value) override {
        profile[{section, entry}] = value;
    }
    LeadBytePredicate LeadBytes() override { return IsCp949LeadByte; }
};

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        AppliedSettings = CardSettings();
        IniPath = "";
        InstallPath = "";
    }
    void LoadAll() {
        ComputeIniPath(store);
        LoadInstallPath(store);
        LoadFileSettings(store);
    }
    FakeStore store;
};

TEST_F(Settings, WithoutAnIniFileTheDefaultsLoad) {
    store.windowsDirectory = "C:\\WINDOWS";
    LoadAll();
    EXPECT_STREQ(IniPath, "C:\\WINDOWS\\Tessan.ini");
    EXPECT_STREQ(InstallPath, "C:\\KESTRO");
    EXPECT_STREQ(AppliedSettings.firmwarePath, "PELKAD.BIN");
    EXPECT_STREQ(AppliedSettings.masterBankPath, "TORBEL08.94B");
    EXPECT_STREQ(AppliedSettings.slaveBankPath, "TORBEL08.94B");
    EXPECT_TRUE(AppliedSettings.irq.IsEmpty());
    EXPECT_TRUE(AppliedSettings.port.IsEmpty());
}

TEST_F(Settings, WithoutWinbootdirTheIniFileIsAtTheDriveRoot) {
    LoadAll();
    EXPECT_STREQ(IniPath, "\\Tessan.ini");
    EXPECT_EQ(store.lastIniPath, "\\Tessan.ini");
}

TEST_F(Settings, StoredValuesLoadUpperCasedKeepingDoubleByteCharacters) {
    const std::string ini = "C:\\WINDOWS\\Tessan.ini";
    store.windowsDirectory = "C:\\WINDOWS";
    store.ini[{ini, "Setup", "Path"}] = "d:\\kestro";
    // 0xB1 0x62 is one code page 949 character whose second byte is 'b'.
    store.ini[{ini, "Tessan", "FirmWare"}] = "c:\\\xB1" "b\\pelkad.bin";
    store.ini[{ini, "Tessan", "Sound Font Bank Master"}] = "m.94b";
    store.ini[{ini, "Tessan", "Sound Font Bank Slave"}] = "s.94b";
    LoadAll();
    EXPECT_STREQ(InstallPath, "D:\\KESTRO");
    EXPECT_STREQ(AppliedSettings.firmwarePath, "C:\\\xB1" "b\\PELKAD.BIN");
    EXPECT_STREQ(AppliedSettings.masterBankPath, "M.94B");
    EXPECT_STREQ(AppliedSettings.slaveBankPath, "S.94B");
}

TEST_F(Settings, LongValuesAreCutTo255CharactersAndKeptInTheFileUnlessReplaced) {
    const std::string cut(255, 'A');
    const struct {
        size_t stored;        // the FirmWare value's length in the file
        const char* picked;   // the applied value; nullptr: as loaded
        std::string written;  // the value in the file after the save
    } cases[] = {
        {300, nullptr, std::string(300, 'a')},
        {256, nullptr, std::string(256, 'a')},
        {255, nullptr, cut},
        {300, "C:\\NEW.BIN", "C:\\NEW.BIN"},
        {255, "", ""},
    };
    for (const auto& c : cases) {
        store = FakeStore();
        store.ini[{"\\Tessan.ini", "Tessan", "FirmWare"}] = std::string(c.stored, 'a');
        LoadAll();
        EXPECT_EQ(std::string(AppliedSettings.firmwarePath), cut.substr(0, c.stored));
        if (c.picked) AppliedSettings.firmwarePath = c.picked;
        const FileSettingsSave save = SaveFileSettings(store);
        EXPECT_EQ(save.saved, FileSettingsSaved::All);
        EXPECT_EQ((store.ini[{"\\Tessan.ini", "Tessan", "FirmWare"}]), c.written) << c.stored;
        EXPECT_EQ((store.ini[{"\\Tessan.ini", "Tessan", "Sound Font Bank Slave"}]), "TORBEL08.94B") << c.stored;
    }
    // A later load forgets the cut: the same text picked then is written.
    store.ini[{"\\Tessan.ini", "Tessan", "FirmWare"}] = "x";
    LoadAll();
    AppliedSettings.firmwarePath = cut.c_str();
    SaveFileSettings(store);
    EXPECT_EQ((store.ini[{"\\Tessan.ini", "Tessan", "FirmWare"}]), cut);
}

TEST_F(Settings, AutoCheckIsOneOnlyForAStoredOne) {
    const struct { bool stored; int value; const char* expected; } cases[] = {
        {false, 0, "1"}, {true, 1, "1"}, {true, 0, "0"}, {true, 2, "0"}, {true, -1, "0"},
    };
    for (const auto& c : cases) {
        store.profile.clear();
        if (c.stored) store.profile[{"Control Pannel", "Auto Check"}] = c.value;
        LoadAutoCheck(store);
        EXPECT_STREQ(AppliedSettings.autoCheck, c.expected) << c.value;
    }
}

TEST_F(Settings, SavingAutoCheckWritesOneOrZero) {
    for (const char* text : {"1", "0", ""}) {
        AppliedSettings.autoCheck = text;
        SaveAutoCheck(store);
        EXPECT_EQ((store.profile[{"Control Pannel", "Auto Check"}]), std::string(text) == "1" ? 1 : 0);
    }
}

TEST_F(Settings, FileSettingsAreWrittenVerbatimToTheTessanSection) {
    store.windowsDirectory = "C:\\WIN%sDOWS";
    ComputeIniPath(store);
    EXPECT_STREQ(IniPath, "C:\\WIN%sDOWS\\Tessan.ini");
    WriteFileSetting(store, "FirmWare", CString("C:\\100%\\%s%d.BIN"));
    EXPECT_EQ((store.ini[{"C:\\WIN%sDOWS\\Tessan.ini", "Tessan", "FirmWare"}]), "C:\\100%\\%s%d.BIN");
}

TEST_F(Settings, SavingTheFileSettingsSaysWhichReachedTheDisk) {
    const struct {
        const char* refusedKey;  // nullptr: none
        SaveFailure refusal, flush;
        FileSettingsSaved saved;
        SaveFailure failure;
        size_t keysStored, flushes;
    } cases[] = {
        {nullptr, SaveFailure::None, SaveFailure::None, FileSettingsSaved::All, SaveFailure::None, 3, 1},
        {"FirmWare", SaveFailure::ReadOnly, SaveFailure::None, FileSettingsSaved::None, SaveFailure::ReadOnly, 0, 0},
        {"Sound Font Bank Master", SaveFailure::InUse, SaveFailure::None, FileSettingsSaved::FirmwareOnly,
         SaveFailure::InUse, 1, 1},
        {"Sound Font Bank Slave", SaveFailure::DiskFull, SaveFailure::None, FileSettingsSaved::AllButSlaveBank,
         SaveFailure::DiskFull, 2, 1},
        {nullptr, SaveFailure::None, SaveFailure::DiskFull, FileSettingsSaved::NotFlushed, SaveFailure::DiskFull, 3, 1},
        {"Sound Font Bank Slave", SaveFailure::InUse, SaveFailure::Other, FileSettingsSaved::NotFlushed,
         SaveFailure::Other, 2, 1},
    };
    IniPath = "C:\\WINDOWS\\Tessan.ini";
    AppliedSettings.firmwarePath = "F.BIN";
    AppliedSettings.masterBankPath = "M.94B";
    AppliedSettings.slaveBankPath = "S.94B";
    for (const auto& c : cases) {
        store = FakeStore();
        if (c.refusedKey) store.refusedKeys[c.refusedKey] = c.refusal;
        store.flushFailure = c.flush;
        const FileSettingsSave save = SaveFileSettings(store);
        const std::string name = c.refusedKey ? c.refusedKey : "no key refused";
        EXPECT_EQ(save.saved, c.saved) << name;
        EXPECT_EQ(save.failure, c.failure) << name;
        EXPECT_EQ(store.ini.size(), c.keysStored) << name;
        EXPECT_EQ(store.flushed, std::vector<std::string>(c.flushes, "C:\\WINDOWS\\Tessan.ini")) << name;
    }
    EXPECT_EQ(store.ini.begin()->second, "F.BIN");
}

}  // namespace
