// The Information page as the user sees it: the Windows version the system reports, the chipset
// named from bus 0, and the version and date of the DOS tool and the four drivers, read afresh on
// every activation. The drivers are real files: small 16-bit NE images carrying a VERSIONINFO
// resource in the 16-bit layout, as the card's .VXD and .DRV files do, which the platform's
// GetFileVersionInfoA reads.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "panel_driver.h"
#include "panel_fixture.h"
#include "resource.h"

namespace e2e {
namespace {

const char kWindowsDir[] = "C:\\WINDOWS";
const char kDosTool[] = "C:\\WINDOWS\\KESTRO.EXE";
const char kMasterVxd[] = "C:\\WINDOWS\\SYSTEM\\VTESSAN.VXD";
const char kMasterDrv[] = "C:\\WINDOWS\\SYSTEM\\TESSAN.DRV";
const char kSlaveVxd[] = "C:\\WINDOWS\\SYSTEM\\VKELDA.VXD";
const char kSlaveDrv[] = "C:\\WINDOWS\\SYSTEM\\KELDA.DRV";
const char* const kAllFiles[] = {kDosTool, kMasterVxd, kMasterDrv, kSlaveVxd, kSlaveDrv};

// Where the panel reads its PCI dump (PrepareMachine points PCI_CONFIG_DUMP there).
const char kPciDumpPath[] = "C:\\e2e\\pci.txt";
// The Wine setting that makes one program see another Windows version.
const char kAppDefaults[] = "Software\\Wine\\AppDefaults\\Orrivan.exe";

void PutWord(std::vector<unsigned char>& b, size_t at, unsigned v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}

void PutDword(std::vector<unsigned char>& b, size_t at, DWORD v) {
    PutWord(b, at, v & 0xFFFF);
    PutWord(b, at + 2, v >> 16);
}

// A 16-bit version block: lengths, "VS_VERSION_INFO" padded to 16 bytes, the fixed information.
std::vector<unsigned char> VersionBlock16(WORD fileMajor, WORD fileMinor, WORD strucMajor, WORD strucMinor) {
    std::vector<unsigned char> b(72, 0);
    PutWord(b, 0, 72);  // block length
    PutWord(b, 2, 52);  // value length: VS_FIXEDFILEINFO
    memcpy(&b[4], "VS_VERSION_INFO", 16);
    PutDword(b, 20, 0xFEEF04BD);
    PutDword(b, 24, MAKELONG(strucMinor, strucMajor));
    PutDword(b, 28, MAKELONG(fileMinor, fileMajor));  // file version, most significant
    PutDword(b, 32, MAKELONG(0, 0));                  // file version, least significant
    PutDword(b, 36, MAKELONG(fileMinor, fileMajor));  // product version
    PutDword(b, 48, 0x3F);                            // flags mask
    PutDword(b, 56, 0x00010001);                      // VOS_DOS_WINDOWS16
    PutDword(b, 60, 3);                               // VFT_DRV
    PutDword(b, 64, 9);                               // VFT2_DRV_SOUND
    return b;
}

// A minimal NE image: an MZ stub pointing at an NE header whose resource table holds one
// RT_VERSION resource (id 1) with the given data.
std::vector<unsigned char> NeImage(const std::vector<unsigned char>& resource) {
    const size_t kNe = 0x40;          // NE header right after the MZ header
    const size_t kResTab = 0x40;      // resource table, relative to the NE header
    const unsigned kShift = 4;        // resource offsets and lengths in 16-byte units
    const size_t kResTabSize = 2 + 8 + 12 + 2;  // shift, one type entry, one name entry, end
    const size_t kNames = kResTab + kResTabSize;
    const size_t kData = 0x100;
    const size_t units = (resource.size() + 15) >> kShift;

    std::vector<unsigned char> b(kData + (units << kShift), 0);
    b[0] = 'M';
    b[1] = 'Z';
    PutWord(b, 0x18, 0x40);  // relocation table offset: a "new executable"
    PutDword(b, 0x3C, kNe);

    b[kNe] = 'N';
    b[kNe + 1] = 'E';
    b[kNe + 2] = 5;  // linker version
    PutWord(b, kNe + 0x04, kNames + 8);       // entry table: empty
    PutWord(b, kNe + 0x22, kResTab);          // segment table (none)
    PutWord(b, kNe + 0x24, kResTab);          // resource table
    PutWord(b, kNe + 0x26, kNames);           // resident names
    PutWord(b, kNe + 0x28, kNames + 8);       // module references (none)
    PutWord(b, kNe + 0x2A, kNames + 8);       // imported names (none)
    PutWord(b, kNe + 0x32, kShift);           // segment alignment
    b[kNe + 0x36] = 2;                        // target: Windows

    size_t p = kNe + kResTab;
    PutWord(b, p, kShift);
    p += 2;
    PutWord(b, p, 0x8000 | 16);  // type: RT_VERSION
    PutWord(b, p + 2, 1);        // one resource
    p += 8;
    PutWord(b, p, kData >> kShift);
    PutWord(b, p + 2, units);
    PutWord(b, p + 4, 0x0030);   // moveable, pure
    PutWord(b, p + 6, 0x8000 | 1);
    p += 12;
    PutWord(b, p, 0);            // end of types

    // Resident names: the module name, then the end.
    p = kNe + kNames;
    b[p] = 5;
    memcpy(&b[p + 1], "TESTS", 5);
    memcpy(&b[kData], resource.data(), resource.size());
    return b;
}

bool WriteBytes(const char* path, const std::vector<unsigned char>& bytes) {
    return WriteWholeFile(path, std::string(bytes.begin(), bytes.end()));
}

// Sets the file's modification time to noon of a local calendar date.
bool SetLocalDate(const char* path, WORD year, WORD month, WORD day) {
    SYSTEMTIME local{};
    local.wYear = year;
    local.wMonth = month;
    local.wDay = day;
    local.wHour = 12;
    FILETIME localTime, utc;
    if (!SystemTimeToFileTime(&local, &localTime) || !LocalFileTimeToFileTime(&localTime, &utc)) return false;
    HANDLE f = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    const bool ok = SetFileTime(f, nullptr, nullptr, &utc) != FALSE;
    CloseHandle(f);
    return ok;
}

bool WriteDriver(const char* path, WORD fileMajor, WORD fileMinor, WORD year, WORD month, WORD day) {
    return WriteBytes(path, NeImage(VersionBlock16(fileMajor, fileMinor, 1, 0))) &&
           SetLocalDate(path, year, month, day);
}

// One function 0 of bus 0 in the `lspci -x` form the panel reads.
std::string DumpDevice(unsigned device, const char* idBytes) {
    char text[256];
    snprintf(text, sizeof text,
             "00:%02x.0 Device\n"
             "00: %s 06 00 90 02 01 00 00 06 00 00 00 00\n"
             "10: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n",
             device, idBytes);
    return text;
}

// The card at 00:09 with interrupt 10 and address 0x330, as the setting page expects it.
const char kCardDump[] =
    "00:09.0 Multimedia audio controller: Device 128e:0009 (rev 01)\n"
    "00: 8e 12 09 00 05 00 90 02 01 00 01 04 00 20 80 00\n"
    "10: 31 03 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
    "20: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
    "30: 00 00 00 00 00 00 00 00 00 00 00 00 0a 01 00 00\n";

std::string ItemText(HWND page, int id) { return TextOf(GetDlgItem(page, id)); }

std::string Shot(const char* name) { return std::string(Korean() ? "ko-" : "en-") + name; }

class InfoPageTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        CreateDirectoryA(kWindowsDir, nullptr);
        CreateDirectoryA("C:\\WINDOWS\\SYSTEM", nullptr);
        for (const char* path : kAllFiles) DeleteFileA(path);
    }

    void TearDown() override {
        PanelTest::TearDown();
        for (const char* path : kAllFiles) DeleteFileA(path);
        if (versionSet_) RegDeleteKeyA(HKEY_CURRENT_USER, kAppDefaults);
        // Later cases of this run expect the prepared machine's dump.
        PrepareMachine(true);
    }

    // Opens the panel and returns its Information page (the page it opens on).
    HWND OpenInfo() {
        HWND sheet = Open();
        if (!sheet) return nullptr;
        EXPECT_EQ(CurrentPageIndex(sheet), 0);
        return CurrentPage(sheet);
    }

    // Makes Wine tell the panel (and only the panel) that it runs on the given Windows version.
    void PanelSeesWindows(const char* version) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kAppDefaults, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        versionSet_ = true;
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                       static_cast<DWORD>(strlen(version) + 1));
        RegCloseKey(key);
    }

    void ExpectText(HWND page, int id, const std::string& expected, const char* note = "") {
        const std::string actual = ItemText(page, id);
        EXPECT_TRUE(actual == expected) << "control " << id << " shows \"" << Utf8(actual) << "\", expected \""
                                        << Utf8(expected) << "\" " << note;
    }

    bool versionSet_ = false;
};

TEST_F(InfoPageTest, BareMachineShowsWindowsVersionChipsetAndNoDrivers) {
    HWND page = OpenInfo();
    ASSERT_TRUE(page);
    // The panel runs on the same system as this driver, so it sees the same version.
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    ASSERT_TRUE(GetVersionExA(&v));
    char version[64];
    snprintf(version, sizeof version, "%lu.%lu.%lu %s", v.dwMajorVersion, v.dwMinorVersion,
             v.dwBuildNumber & 0xFFF, v.dwMinorVersion != 0 ? "Windows 98" : "Windows 95");
    ExpectText(page, IDC_INFO_WINVER, version);
    ExpectText(page, IDC_INFO_CHIPSET, Ansi(Korean() ? "인텔 82443BX 메인보드" : "Intel 82443BX Mainboard"));
    ExpectText(page, IDC_INFO_VER_KESTRO, "N/A");
    // No driver file exists on this machine: no version, no date.
    for (int id = IDC_INFO_VER_VTESSAN; id <= IDC_INFO_DATE_KELDA; ++id) ExpectText(page, id, "");
}

TEST_F(InfoPageTest, Windows95AndWindows98AsThePanelSeesThem) {
    // Without a dump the panel reads the configuration ports there; Wine, reporting Windows 95/98,
    // answers them with nothing, so the chipset is unknown and the panel lives on.
    SetEnvironmentVariableA("PCI_CONFIG_DUMP", nullptr);
    const std::string unknownChipset = Ansi(Korean() ? "알수없는 메인보드" : "Unknown PCIChipset");
    PanelSeesWindows("win95");
    HWND page = OpenInfo();
    ASSERT_TRUE(page);
    ExpectText(page, IDC_INFO_WINVER, "4.0.950 Windows 95");
    ExpectText(page, IDC_INFO_CHIPSET, unknownChipset);
    ASSERT_TRUE(CloseSheet(sheet_, panel_));
    sheet_ = nullptr;

    PanelSeesWindows("win98");
    page = OpenInfo();
    ASSERT_TRUE(page);
    ExpectText(page, IDC_INFO_WINVER, "4.10.2222 Windows 98");
    ExpectText(page, IDC_INFO_CHIPSET, unknownChipset);
}

TEST_F(InfoPageTest, ShowsEachDriversVersionAndDate) {
    ASSERT_TRUE(WriteWholeFile(kDosTool, "MZ a DOS program without version information"));
    ASSERT_TRUE(SetLocalDate(kDosTool, 1997, 1, 2));
    ASSERT_TRUE(WriteDriver(kMasterVxd, 4, 0, 1999, 9, 17));
    ASSERT_TRUE(WriteDriver(kMasterDrv, 4, 10, 1998, 12, 31));
    ASSERT_TRUE(WriteDriver(kSlaveVxd, 12, 345, 2001, 2, 3));
    // A 32-bit program under a driver's name: the same offsets land in its wide-character key.
    char panelExe[MAX_PATH] = {0};
    ASSERT_TRUE(GetEnvironmentVariableA("ORRIVAN_EXE", panelExe, sizeof panelExe));
    ASSERT_TRUE(CopyFileA(panelExe, kSlaveDrv, FALSE));
    ASSERT_TRUE(SetLocalDate(kSlaveDrv, 2005, 7, 8));

    // The platform reads the crafted image as a 16-bit version block.
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(kMasterVxd, &handle);
    ASSERT_GT(size, 0u) << "GetFileVersionInfoSizeA does not accept the NE image";
    std::vector<unsigned char> block(size, 0);
    ASSERT_TRUE(GetFileVersionInfoA(kMasterVxd, handle, size, block.data()));
    ASSERT_EQ(block[0] | (block[1] << 8), 72);

    HWND page = OpenInfo();
    ASSERT_TRUE(page);
    std::string why;
    EXPECT_TRUE(SaveScreenshot(sheet_, Shot("information-drivers").c_str(), &why)) << why;
    ExpectText(page, IDC_INFO_VER_KESTRO, "N/A");
    ExpectText(page, IDC_INFO_VER_VTESSAN, "4.0.10");
    ExpectText(page, IDC_INFO_VER_TESSAN, "4.10.1");
    ExpectText(page, IDC_INFO_VER_VKELDA, "12.345");
    ExpectText(page, IDC_INFO_VER_KELDA, "78.73.");
    ExpectText(page, IDC_INFO_DATE_KESTRO, "02/01/97");
    ExpectText(page, IDC_INFO_DATE_VTESSAN, "17/09/99");
    ExpectText(page, IDC_INFO_DATE_TESSAN, "31/12/98");
    ExpectText(page, IDC_INFO_DATE_VKELDA, "03/02/01");
    ExpectText(page, IDC_INFO_DATE_KELDA, "08/07/05");
}

TEST_F(InfoPageTest, DriverWithoutFixedInformationShowsNoVersionButItsDate) {
    // A version resource of 16 bytes: some platforms report an absurd size for it.
    std::vector<unsigned char> shortBlock(16, 0);
    PutWord(shortBlock, 0, 16);
    memcpy(&shortBlock[4], "VS_VERS", 8);
    ASSERT_TRUE(WriteBytes(kMasterVxd, NeImage(shortBlock)));
    ASSERT_TRUE(SetLocalDate(kMasterVxd, 1999, 9, 17));
    // Not an executable at all.
    ASSERT_TRUE(WriteWholeFile(kMasterDrv, "garbage, not an executable"));
    ASSERT_TRUE(SetLocalDate(kMasterDrv, 2000, 2, 29));

    HWND page = OpenInfo();
    ASSERT_TRUE(page);
    ExpectText(page, IDC_INFO_VER_VTESSAN, "");
    ExpectText(page, IDC_INFO_DATE_VTESSAN, "17/09/99");
    ExpectText(page, IDC_INFO_VER_TESSAN, "");
    ExpectText(page, IDC_INFO_DATE_TESSAN, "29/02/00");
}

TEST_F(InfoPageTest, ReturningToThePageReadsEverythingAgain) {
    ASSERT_TRUE(WriteWholeFile(kDosTool, "MZ"));
    ASSERT_TRUE(SetLocalDate(kDosTool, 1997, 1, 2));
    ASSERT_TRUE(WriteDriver(kMasterVxd, 4, 0, 1999, 9, 17));
    ASSERT_TRUE(WriteDriver(kSlaveDrv, 4, 10, 2005, 7, 8));

    HWND page = OpenInfo();
    ASSERT_TRUE(page);
    ExpectText(page, IDC_INFO_VER_VTESSAN, "4.0.10");
    ExpectText(page, IDC_INFO_VER_KELDA, "4.10.1");
    ExpectText(page, IDC_INFO_DATE_KELDA, "08/07/05");

    ASSERT_TRUE(SelectPage(sheet_, 1));
    // Meanwhile: a new master driver, the slave driver and the DOS tool gone, another chipset.
    ASSERT_TRUE(WriteDriver(kMasterVxd, 5, 2, 2002, 3, 4));
    ASSERT_TRUE(DeleteFileA(kSlaveDrv));
    ASSERT_TRUE(DeleteFileA(kDosTool));
    ASSERT_TRUE(WriteWholeFile(kPciDumpPath, DumpDevice(0, "06 11 86 05") + "\n" + kCardDump));
    ASSERT_TRUE(SelectPage(sheet_, 0));
    page = CurrentPage(sheet_);
    ASSERT_TRUE(page);

    ExpectText(page, IDC_INFO_CHIPSET, Ansi(Korean() ? "비아 VT82C586 메인보드" : "VIA VT82C586 Mainboard"));
    ExpectText(page, IDC_INFO_VER_KESTRO, "N/A");
    ExpectText(page, IDC_INFO_VER_VTESSAN, "5.2.10");
    ExpectText(page, IDC_INFO_DATE_VTESSAN, "04/03/02");
    ExpectText(page, IDC_INFO_VER_KELDA, "", "(a deleted driver has no version)");
    ExpectText(page, IDC_INFO_DATE_KELDA, "08/07/05", "(a deleted driver keeps the date it was last seen with)");
    ExpectText(page, IDC_INFO_DATE_KESTRO, "02/01/97");
}

TEST_F(InfoPageTest, LowestDeviceOfTheTableNamesTheChipset) {
    // OPTi at 00:02 below a 440BX at 00:11; a PIIX4 (not in the table) at 00:00.
    ASSERT_TRUE(WriteWholeFile(kPciDumpPath, DumpDevice(0, "86 80 10 71") + "\n" + DumpDevice(2, "45 10 58 c5") + "\n" +
                                            DumpDevice(0x11, "86 80 90 71") + "\n" + kCardDump));
    HWND page = OpenInfo();
    ASSERT_TRUE(page);
    ExpectText(page, IDC_INFO_CHIPSET, Ansi(Korean() ? "옵티 82C558M 메인보드" : "OPTI  82C558M Mainboard"));
}

TEST_F(InfoPageTest, NoChipsetOfTheTableOnBus0) {
    ASSERT_TRUE(WriteWholeFile(kPciDumpPath, DumpDevice(7, "86 80 10 71") + "\n" + kCardDump));
    HWND page = OpenInfo();
    ASSERT_TRUE(page);
    ExpectText(page, IDC_INFO_CHIPSET, Ansi(Korean() ? "알수없는 메인보드" : "Unknown PCIChipset"));
}

}  // namespace
}  // namespace e2e
