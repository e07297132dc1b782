// The Information page's texts: version and chipset formatting, the version block's fixed offsets,
// the file paths, and what a filling keeps or overwrites.
#include "info_texts.h"

#include <gtest/gtest.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

namespace {

// ---- Windows version ----------------------------------------------------------------------------

struct VersionCase {
    unsigned long major, minor, build;
    const char* expected;
};

TEST(InfoWindowsVersion, KeepsTheBuildsLowTwelveBitsAndNamesTheSystemByMinor) {
    const VersionCase cases[] = {
        {4, 0, 4096, "4.0.0 Windows 95"},
        {4, 0, 4097, "4.0.1 Windows 95"},
        {4, 0, 0xC00003B6, "4.0.950 Windows 95"},   // Windows 95 repeats its version high up
        {4, 10, 0x040A08AE, "4.10.2222 Windows 98"},
        {4, 90, 3000, "4.90.3000 Windows 98"},
        {6, 1, 7601, "6.1.3505 Windows 98"},        // 0x1DB1: bit 12 dropped
        {5, 0, 2195, "5.0.2195 Windows 95"},
    };
    for (const VersionCase& c : cases)
        EXPECT_STREQ(WindowsVersionText(c.major, c.minor, c.build), c.expected) << c.build;
}

// ---- Chipset ------------------------------------------------------------------------------------

// Bus 0 function 0 register 0 by device; everything else reads as nothing there.
std::map<unsigned, uint32_t> Bus0;
std::vector<std::string> Reads;

uint32_t ReadBus0(unsigned bus, unsigned device, unsigned function, unsigned reg) {
    Reads.push_back(std::to_string(bus) + ":" + std::to_string(device) + "." + std::to_string(function) + "@" +
                    std::to_string(reg));
    if (bus != 0 || function != 0 || reg != 0) return PciNoDevice;
    auto it = Bus0.find(device);
    return it == Bus0.end() ? PciNoDevice : it->second;
}

class InfoChipset : public ::testing::Test {
protected:
    void SetUp() override {
        Bus0.clear();
        Reads.clear();
    }
};

const char Intel440BXKorean[] = "\xC0\xCE\xC5\xDA 82443BX \xB8\xDE\xC0\xCE\xBA\xB8\xB5\xE5";  // 인텔 82443BX 메인보드
const char UnknownKorean[] = "\xBE\xCB\xBC\xF6\xBE\xF8\xB4\xC2 \xB8\xDE\xC0\xCE\xBA\xB8\xB5\xE5";  // 알수없는 메인보드

TEST_F(InfoChipset, LowestMatchingDeviceDecides) {
    Bus0[0] = 0xC5581045;  // OPTi
    Bus0[7] = 0x71908086;  // 440BX
    Bus0[9] = CardIdFunction0;
    EXPECT_STREQ(ChipsetNameOnBus0(ReadBus0, false), "OPTI  82C558M Mainboard");
    EXPECT_EQ(Reads.size(), 1u) << "the scan ends at the first match";
    EXPECT_EQ(Reads[0], "0:0.0@0");
}

TEST_F(InfoChipset, DevicesWithoutATableEntryAreSkipped) {
    Bus0[0] = 0x71108086;  // PIIX4 ISA bridge: not a chipset of the table
    Bus0[9] = CardIdFunction0;
    Bus0[31] = 0x71908086;
    EXPECT_STREQ(ChipsetNameOnBus0(ReadBus0, false), "Intel 82443BX Mainboard");
    EXPECT_STREQ(ChipsetNameOnBus0(ReadBus0, true), Intel440BXKorean);
}

TEST_F(InfoChipset, NoChipsetGivesTheUnknownNameAfterAll32Devices) {
    Bus0[9] = CardIdFunction0;
    Bus0[5] = 0x86907190;  // the 440BX identifier with its halves swapped
    EXPECT_STREQ(ChipsetNameOnBus0(ReadBus0, false), "Unknown PCIChipset");
    EXPECT_EQ(Reads.size(), 32u);
    EXPECT_EQ(Reads.back(), "0:31.0@0");
    EXPECT_STREQ(ChipsetNameOnBus0(ReadBus0, true), UnknownKorean);
}

TEST_F(InfoChipset, TableKeysAreUniqueAndNamesSpelledAsShown) {
    ASSERT_EQ(ChipsetTableSize, 13u);
    for (size_t i = 0; i < ChipsetTableSize; ++i)
        for (size_t j = i + 1; j < ChipsetTableSize; ++j) EXPECT_NE(ChipsetTable[i].key, ChipsetTable[j].key);
    Bus0[3] = 0x00081039;
    EXPECT_STREQ(ChipsetNameOnBus0(ReadBus0, false), "PCISet SIS55x1 Mainboard");
}

// ---- Version block ------------------------------------------------------------------------------

std::vector<unsigned char> Block(size_t size, unsigned length, unsigned w24, unsigned w26, unsigned w28, unsigned w30) {
    std::vector<unsigned char> b(size, 0);
    auto put = [&b](size_t at, unsigned v) {
        if (at + 1 < b.size()) {
            b[at] = v & 0xFF;
            b[at + 1] = (v >> 8) & 0xFF;
        }
    };
    put(0, length);
    put(24, w24);
    put(26, w26);
    put(28, w28);
    put(30, w30);
    return b;
}

// The 16-bit layout a driver carries: lengths, "VS_VERSION_INFO" padded to 16, fixed information.
std::vector<unsigned char> Block16(unsigned fileMajor, unsigned fileMinor, unsigned strucMajor, unsigned strucMinor) {
    std::vector<unsigned char> b(72, 0);
    b[0] = 72;
    b[2] = 52;
    memcpy(&b[4], "VS_VERSION_INFO", 16);
    const uint32_t fixed[] = {0xFEEF04BD, (strucMajor << 16) | strucMinor, (fileMajor << 16) | fileMinor, 7};
    for (size_t i = 0; i < 4; ++i)
        for (size_t k = 0; k < 4; ++k) b[20 + 4 * i + k] = (fixed[i] >> (8 * k)) & 0xFF;
    return b;
}

// The 32-bit layout: lengths, type, then the key in wide characters, which reaches offset 32.
std::vector<unsigned char> Block32() {
    std::vector<unsigned char> b(92, 0);
    b[0] = 92;
    b[2] = 52;
    const char key[] = "VS_VERSION_INFO";
    for (size_t i = 0; i < sizeof key; ++i) b[6 + 2 * i] = key[i];
    return b;
}

struct BlockCase {
    const char* what;
    std::vector<unsigned char> block;
    const char* expected;
};

TEST(InfoVersionBlock, FixedOffsetsFormattedAndCutToSixCharacters) {
    const BlockCase cases[] = {
        {"16-bit, file 4.0, structure 1.0", Block16(4, 0, 1, 0), "4.0.10"},
        {"16-bit, file 4.10, structure 1.0", Block16(4, 10, 1, 0), "4.10.1"},
        {"32-bit layout: key characters", Block32(), "78.73."},
        {"words 4,0,0,0", Block(32, 32, 0, 0, 0, 4), "4.0.00"},
        {"words 12,345,1,0", Block(40, 40, 0, 1, 345, 12), "12.345"},
        {"largest words", Block(32, 32, 65535, 65535, 65535, 65535), "65535."},
        {"exactly 32 bytes", Block(32, 32, 9, 8, 7, 6), "6.7.89"},
    };
    for (const BlockCase& c : cases)
        EXPECT_STREQ(VersionTextFromBlock(c.block.data(), c.block.size()), c.expected) << c.what;
}

TEST(InfoVersionBlock, BlockWithoutFixedInformationShowsNothing) {
    const BlockCase cases[] = {
        {"31 bytes read", Block(31, 31, 1, 1, 1, 1), ""},
        {"2 bytes read", Block(2, 2, 0, 0, 0, 0), ""},
        {"own length 20 in a larger buffer", Block(64, 20, 1, 0, 0, 4), ""},
        {"own length 0", Block(64, 0, 1, 0, 0, 4), ""},
        {"own length 31", Block(64, 31, 1, 0, 0, 4), ""},
    };
    for (const BlockCase& c : cases)
        EXPECT_STREQ(VersionTextFromBlock(c.block.data(), c.block.size()), c.expected) << c.what;
    EXPECT_STREQ(VersionTextFromBlock(nullptr, 100), "");
    // Only the bytes given are read: under ASan a read past 31 bytes of a heap block fails here.
    std::vector<unsigned char> exact(31, 0xFF);
    EXPECT_STREQ(VersionTextFromBlock(exact.data(), exact.size()), "");
}

// ---- Dates and paths ----------------------------------------------------------------------------

TEST(InfoDate, DayMonthTwoDigitYear) {
    EXPECT_STREQ(DateText(CTime(1999, 9, 17, 13, 5, 0)), "17/09/99");
    EXPECT_STREQ(DateText(CTime(2001, 12, 1)), "01/12/01");
    EXPECT_STREQ(DateText(CTime(2000, 2, 29, 23, 59, 59)), "29/02/00");
}

TEST(InfoPaths, DosToolInTheWindowsDirectoryDriversInSystem) {
    BuildInfoPaths("C:\\WINDOWS");
    EXPECT_STREQ(InfoFiles[0].path, "C:\\WINDOWS\\KESTRO.EXE");
    EXPECT_STREQ(InfoFiles[1].path, "C:\\WINDOWS\\SYSTEM\\VTESSAN.VXD");
    EXPECT_STREQ(InfoFiles[2].path, "C:\\WINDOWS\\SYSTEM\\TESSAN.DRV");
    EXPECT_STREQ(InfoFiles[3].path, "C:\\WINDOWS\\SYSTEM\\VKELDA.VXD");
    EXPECT_STREQ(InfoFiles[4].path, "C:\\WINDOWS\\SYSTEM\\KELDA.DRV");
    // Without the Windows directory everything starts at the root of the current drive.
    BuildInfoPaths("");
    EXPECT_STREQ(InfoFiles[0].path, "\\KESTRO.EXE");
    EXPECT_STREQ(InfoFiles[4].path, "\\SYSTEM\\KELDA.DRV");
    // A percent sign in the directory is text, not a format.
    BuildInfoPaths("D:\\W%sN");
    EXPECT_STREQ(InfoFiles[2].path, "D:\\W%sN\\SYSTEM\\TESSAN.DRV");
}

// ---- A whole filling ----------------------------------------------------------------------------

class FakeInfoPlatform : public InfoPlatform {
public:
    void GetWindowsVersion(unsigned long* major, unsigned long* minor, unsigned long* build) override {
        *major = 4;
        *minor = 10;
        *build = 0x040A08AE;
    }
    CString WindowsDirectory() override { return CString(windowsDir.c_str()); }
    bool ReadVersionBlock(const char* path, unsigned char* head, size_t headSize, size_t* blockSize) override {
        auto it = blocks.find(path);
        if (it == blocks.end()) return false;
        const size_t n = it->second.size() < headSize ? it->second.size() : headSize;
        if (n) memcpy(head, it->second.data(), n);
        *blockSize = it->second.size();
        return true;
    }
    bool GetModificationTime(const char* path, CTime* localTime) override {
        auto it = times.find(path);
        if (it == times.end()) return false;
        *localTime = it->second;
        return true;
    }

    std::string windowsDir = "C:\\WINDOWS";
    std::map<std::string, std::vector<unsigned char>> blocks;
    std::map<std::string, CTime> times;
};

class InfoFill : public ::testing::Test {
protected:
    void SetUp() override {
        Bus0.clear();
        Bus0[0] = 0x71908086;
        for (CString& slot : InfoTexts) slot.Empty();
    }
    FakeInfoPlatform platform;
};

TEST_F(InfoFill, EverySlotFromItsSource) {
    platform.blocks["C:\\WINDOWS\\KESTRO.EXE"] = Block16(9, 9, 1, 0);  // never read
    platform.blocks["C:\\WINDOWS\\SYSTEM\\VTESSAN.VXD"] = Block16(4, 0, 1, 0);
    platform.blocks["C:\\WINDOWS\\SYSTEM\\TESSAN.DRV"] = Block16(4, 10, 1, 0);
    platform.blocks["C:\\WINDOWS\\SYSTEM\\VKELDA.VXD"] = Block(40, 40, 0, 1, 345, 12);
    platform.blocks["C:\\WINDOWS\\SYSTEM\\KELDA.DRV"] = Block32();
    platform.times["C:\\WINDOWS\\KESTRO.EXE"] = CTime(1997, 1, 2);
    platform.times["C:\\WINDOWS\\SYSTEM\\VTESSAN.VXD"] = CTime(1999, 9, 17);
    platform.times["C:\\WINDOWS\\SYSTEM\\TESSAN.DRV"] = CTime(1998, 12, 31);
    platform.times["C:\\WINDOWS\\SYSTEM\\VKELDA.VXD"] = CTime(2001, 2, 3);
    platform.times["C:\\WINDOWS\\SYSTEM\\KELDA.DRV"] = CTime(2005, 7, 8);

    FillInfoTexts(platform, ReadBus0, false);
    const char* expected[InfoTextCount] = {"4.10.2222 Windows 98", "Intel 82443BX Mainboard", "", "",
                                           "N/A", "4.0.10", "4.10.1", "12.345", "78.73.",
                                           "02/01/97", "17/09/99", "31/12/98", "03/02/01", "08/07/05"};
    for (int i = 0; i < InfoTextCount; ++i) EXPECT_STREQ(InfoTexts[i], expected[i]) << "slot " << i;

    FillInfoTexts(platform, ReadBus0, true);
    EXPECT_STREQ(InfoTexts[1], Intel440BXKorean);
}

TEST_F(InfoFill, RefillKeepsMissingFilesDatesAndEmptiesTheirVersions) {
    platform.blocks["C:\\WINDOWS\\SYSTEM\\VTESSAN.VXD"] = Block16(4, 0, 1, 0);
    platform.blocks["C:\\WINDOWS\\SYSTEM\\KELDA.DRV"] = Block16(4, 0, 1, 0);
    platform.times["C:\\WINDOWS\\KESTRO.EXE"] = CTime(1997, 1, 2);
    platform.times["C:\\WINDOWS\\SYSTEM\\VTESSAN.VXD"] = CTime(1999, 9, 17);
    platform.times["C:\\WINDOWS\\SYSTEM\\KELDA.DRV"] = CTime(2005, 7, 8);
    FillInfoTexts(platform, ReadBus0, false);
    EXPECT_STREQ(InfoTexts[8], "4.0.10");
    EXPECT_STREQ(InfoTexts[13], "08/07/05");

    // Between activations: VTESSAN.VXD replaced, KELDA.DRV and KESTRO.EXE deleted, the chipset gone.
    platform.blocks["C:\\WINDOWS\\SYSTEM\\VTESSAN.VXD"] = Block16(5, 2, 1, 0);
    platform.times["C:\\WINDOWS\\SYSTEM\\VTESSAN.VXD"] = CTime(2002, 3, 4);
    platform.blocks.erase("C:\\WINDOWS\\SYSTEM\\KELDA.DRV");
    platform.times.erase("C:\\WINDOWS\\SYSTEM\\KELDA.DRV");
    platform.times.erase("C:\\WINDOWS\\KESTRO.EXE");
    Bus0.clear();
    FillInfoTexts(platform, ReadBus0, false);
    EXPECT_STREQ(InfoTexts[1], "Unknown PCIChipset");
    EXPECT_STREQ(InfoTexts[4], "N/A");
    EXPECT_STREQ(InfoTexts[5], "5.2.10");
    EXPECT_STREQ(InfoTexts[10], "04/03/02");
    EXPECT_STREQ(InfoTexts[8], "") << "a vanished driver has no version";
    EXPECT_STREQ(InfoTexts[13], "08/07/05") << "a vanished driver keeps its last date";
    EXPECT_STREQ(InfoTexts[9], "02/01/97");
    EXPECT_STREQ(InfoTexts[11], "") << "never found: never dated";
}

TEST_F(InfoFill, ShortBlockEmptiesTheVersionAndWithoutWinbootdirPathsStartAtTheRoot) {
    platform.windowsDir = "";
    platform.blocks["\\SYSTEM\\VTESSAN.VXD"] = Block16(4, 0, 1, 0);
    platform.blocks["\\SYSTEM\\TESSAN.DRV"] = Block(20, 20, 0, 0, 0, 0);
    platform.times["\\KESTRO.EXE"] = CTime(1997, 1, 2);
    InfoTexts[6] = "stale";
    FillInfoTexts(platform, ReadBus0, false);
    EXPECT_STREQ(InfoTexts[5], "4.0.10");
    EXPECT_STREQ(InfoTexts[6], "");
    EXPECT_STREQ(InfoTexts[9], "02/01/97");
    EXPECT_STREQ(InfoTexts[2], "");
    EXPECT_STREQ(InfoTexts[3], "");
}

}  // namespace
