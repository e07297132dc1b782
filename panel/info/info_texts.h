// The Information page's texts: the Windows version, the main-board chipset, and the version and
// date of the card's DOS tool and four driver files. Portable: the platform's services come in
// through InfoPlatform, so the whole filling runs in native tests.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "afxtime.h"
#include "card_probe.h"
#include "cstring.h"

// Slot i is shown in the page's control 1000 + i; slots 2 and 3 have no control and stay empty.
const int InfoTextCount = 14;
const int InfoSlotWindowsVersion = 0;
const int InfoSlotChipset = 1;
const int InfoSlotFirstVersion = 4;  // versions of InfoFiles 0-4 in slots 4-8
const int InfoSlotFirstDate = 9;     // dates of InfoFiles 0-4 in slots 9-13
extern CString InfoTexts[InfoTextCount];

// The DOS tool in the Windows directory, then the four drivers in its SYSTEM subdirectory. The
// paths are rebuilt on every filling.
struct InfoFile {
    const char* name;
    CString path;
};
const int InfoFileCount = 5;
extern InfoFile InfoFiles[InfoFileCount];

// A main-board chipset the page can name, keyed by its register 0 dword (device id high, vendor
// id low), by its maker and model.
enum class ChipsetMaker : unsigned char { Intel, Opti, Via, PciSet };
struct ChipsetName {
    uint32_t key;
    ChipsetMaker maker;
    const char* model;
};
extern const ChipsetName ChipsetTable[];
extern const size_t ChipsetTableSize;
extern const char UnknownChipsetEnglish[];  // "Unknown PCIChipset"
extern const char UnknownChipsetKorean[];

// "major.minor.build OS": only the build number's low twelve bits count (Windows 95/98 repeat the
// version in its high bits); any minor version but 0 is taken for Windows 98.
CString WindowsVersionText(unsigned long major, unsigned long minor, unsigned long build);

// Name of the chipset at the lowest device number of bus 0 (function 0) that the table knows, or
// the no-match name; Korean names are code page 949 bytes.
CString ChipsetNameOnBus0(PciConfigReader read, bool korean);

// The file's version as the page shows it, from its raw version block: the words at byte offsets
// 30, 28, 26 and 24 (16-bit layout: file version major and minor, then the structure version's
// halves) as "%d.%d.%d%d", cut to six characters. A block shorter than 32 bytes, by the bytes
// given or by its own length field, has no fixed file information: empty.
CString VersionTextFromBlock(const unsigned char* block, size_t size);

// "dd/mm/yy" of a local calendar time.
CString DateText(const CTime& localTime);

// Rebuilds InfoFiles' paths under the Windows directory (empty: the root of the current drive).
void BuildInfoPaths(const char* windowsDir);

// The platform services the filling goes through.
class InfoPlatform {
public:
    // Major, minor and build number of the running Windows (zeros when it cannot tell).
    virtual void GetWindowsVersion(unsigned long* major, unsigned long* minor, unsigned long* build) = 0;
    // The Windows directory ("winbootdir"): empty when it is not set or too long.
    virtual CString WindowsDirectory() = 0;
    // Copies up to headSize leading bytes of the file's version block into head and sets *blockSize
    // to the block's size as read; false when the file is missing or has no readable block.
    virtual bool ReadVersionBlock(const char* path, unsigned char* head, size_t headSize, size_t* blockSize) = 0;
    // The file's last-modification time in local time; false when the file is missing.
    virtual bool GetModificationTime(const char* path, CTime* localTime) = 0;

protected:
    // Not deleted through this interface: a non-virtual destructor leaves the platform's own
    // instance, a global, without one to run at exit.
    ~InfoPlatform() = default;
};

// Recomputes the texts: slots 0 and 1, slots 4-8 (emptied, then refilled), and the date slots of
// the files found; a missing file's date slot keeps its text.
void FillInfoTexts(InfoPlatform& platform, PciConfigReader read, bool korean);

// The platform's own services (the Win32 layer provides them).
InfoPlatform& PlatformInfoSource();
