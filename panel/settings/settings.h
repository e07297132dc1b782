// The panel's six settings, their two global copies, the two global paths, and how they are
// loaded from and saved to the INI file and the registry.
#pragma once
#include "cstring.h"
#include "mbcs.h"
#include "save_failure.h"

struct CardSettings {
    CString irq;             // "%2d" from the probe, or an entry of the interrupt list
    CString port;            // "%3X" from the probe, or an entry of the address list
    CString autoCheck;       // "1" or "0"
    CString firmwarePath;
    CString masterBankPath;
    CString slaveBankPath;
};

extern CardSettings AppliedSettings;  // what was last loaded or applied
extern CardSettings PendingSettings;  // the Setting page's edits until they are applied
extern CString IniPath;               // "<winbootdir>\Tessan.ini"
extern CString InstallPath;           // the card software's directory, upper case

// INI sections, keys and defaults, and the registry section and value.
extern const char IniSectionSetup[];      // "Setup"
extern const char IniKeyPath[];           // "Path"
extern const char IniSectionFiles[];      // "Tessan"
extern const char IniKeyFirmware[];       // "FirmWare"
extern const char IniKeyMasterBank[];     // "Sound Font Bank Master"
extern const char IniKeySlaveBank[];      // "Sound Font Bank Slave"
extern const char ProfileSection[];       // "Control Pannel"
extern const char ProfileAutoCheck[];     // "Auto Check"

// Values travel through 256-byte buffers: at most this many characters survive.
const size_t SettingTextLimit = 255;

// The platform services the settings go through. Reads never fail: a missing value yields the
// default (or an empty text).
class SettingsStore {
public:
    // The Windows directory ("winbootdir"): empty when it is not set or too long.
    virtual CString WindowsDirectory() = 0;
    // The key's value, or defaultValue when it is missing. A value longer than SettingTextLimit
    // characters may be cut, yet to more than SettingTextLimit: that tells it was cut.
    virtual CString ReadIniString(const char* path, const char* section, const char* key,
                                  const char* defaultValue) = 0;
    // Writes a key; why the file kept its old contents, or None. The write may wait in a cache.
    virtual SaveFailure WriteIniString(const char* path, const char* section, const char* key,
                                       const char* value) = 0;
    // Writes the cached keys of the file to the disk; why they may not be there, or None.
    virtual SaveFailure FlushIni(const char* path) = 0;
    virtual int ReadProfileInt(const char* section, const char* entry, int defaultValue) = 0;
    virtual void WriteProfileInt(const char* section, const char* entry, int value) = 0;
    // Lead bytes of the system's ANSI code page, so upper-casing keeps double-byte characters.
    virtual LeadBytePredicate LeadBytes() = 0;

protected:
    // Not deleted through this interface: a non-virtual destructor leaves the platform's own
    // instance, a global, without one to run at exit.
    ~SettingsStore() = default;
};

void ComputeIniPath(SettingsStore& store);
void LoadInstallPath(SettingsStore& store);
void LoadFileSettings(SettingsStore& store);
void LoadAutoCheck(SettingsStore& store);
// Writes one key of the file settings; why the INI file kept its old contents, or None.
SaveFailure WriteFileSetting(SettingsStore& store, const char* key, const CString& value);

// What became of the three file settings of AppliedSettings in the INI file: how many of its keys,
// in the order below, were written before one was refused, or that they did not reach the disk.
enum class FileSettingsSaved {
    None,             // the first key was refused: the old file is unchanged
    FirmwareOnly,     // the master bank's key was refused; neither bank was saved
    AllButSlaveBank,  // the slave bank's key was refused
    All,
    NotFlushed,       // the keys could not be written to the disk: what the file holds is not known
};
struct FileSettingsSave {
    FileSettingsSaved saved;
    SaveFailure failure;  // why not all were saved; None with All
};
// Writes FirmWare, the master bank and the slave bank in this order, stopping at a refused key so
// that a file that cannot take them keeps its other old ones, and flushes what was written. A value
// that loaded cut and was not replaced is not written: the file keeps its longer one.
FileSettingsSave SaveFileSettings(SettingsStore& store);
void SaveAutoCheck(SettingsStore& store);

// The same operations on the platform's own stores (the Win32 layer provides them).
SettingsStore& PlatformSettingsStore();
// Windows: "winbootdir", which Windows 95/98 sets to the Windows directory, in the zero-filled
// buffer; false, with the buffer empty, when the value does not fit it. Every path built from the
// Windows directory starts here.
bool ReadWindowsDirectory(char (&buffer)[SettingTextLimit + 1]);
inline void ComputeIniPath() { ComputeIniPath(PlatformSettingsStore()); }
inline void LoadInstallPath() { LoadInstallPath(PlatformSettingsStore()); }
inline void LoadFileSettings() { LoadFileSettings(PlatformSettingsStore()); }
inline void LoadAutoCheck() { LoadAutoCheck(PlatformSettingsStore()); }
inline FileSettingsSave SaveFileSettings() { return SaveFileSettings(PlatformSettingsStore()); }
inline void SaveAutoCheck() { SaveAutoCheck(PlatformSettingsStore()); }
