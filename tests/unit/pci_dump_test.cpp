#include "pci_dump.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "pci_config.h"

namespace {

std::string DataFile(const char* name) {
    std::string here = __FILE__;
    return here.substr(0, here.rfind('/')) + "/../data/pci/" + name;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

uint32_t FindInFile(const std::string& path, uint32_t address) {
    uint32_t value = 0x12345678;
    EXPECT_TRUE(PciDumpFindInFile(path.c_str(), address, &value)) << path;
    return value;
}

struct Lookup {
    unsigned bus, device, function, reg;
    uint32_t expected;
};

void ExpectLookups(const char* file, const Lookup* begin, const Lookup* end) {
    const std::string path = DataFile(file);
    const std::string text = ReadAll(path);
    ASSERT_FALSE(text.empty()) << path;
    for (const Lookup* c = begin; c != end; ++c) {
        uint32_t address = PciConfigAddress(c->bus, c->device, c->function, c->reg);
        EXPECT_EQ(PciDumpFindInText(text.c_str(), address), c->expected)
            << file << std::hex << " address " << address;
        EXPECT_EQ(FindInFile(path, address), c->expected)
            << file << std::hex << " address " << address;
    }
}

TEST(PciDump, ReadsLspciX) {
    const Lookup cases[] = {
        {0, 0, 0, 0x00, 0x71908086},
        {0, 0, 0, 0x10, 0xE0000008},
        {0, 7, 3, 0x00, 0x71138086},
        {0, 9, 0, 0x00, 0x0009128E},
        {0, 9, 0, 0x10, 0x00000331},
        {0, 9, 0, 0x14, 0xE3000000},
        {0, 9, 0, 0x2C, 0x0001128E},
        {0, 9, 0, 0x3C, 0x00000109},
        {0, 9, 1, 0x00, 0x0008128E},
        {0, 9, 1, 0x3C, 0x0000020A},
        // Bits 1-0 of the register select nothing finer than the dword.
        {0, 9, 1, 0x3E, 0x0000020A},
        {0, 11, 0, 0x10, 0x0000D001},
        // Bus 1 is kept apart from bus 0.
        {1, 0, 0, 0x00, 0x0525102B},
        // What the dump lacks: a register beyond the 64 bytes of -x, an empty device, a function.
        {0, 9, 0, 0x40, 0xFFFFFFFF},
        {0, 2, 0, 0x00, 0xFFFFFFFF},
        {0, 9, 2, 0x00, 0xFFFFFFFF},
        {2, 0, 0, 0x00, 0xFFFFFFFF},
    };
    ExpectLookups("bx440-x.txt", std::begin(cases), std::end(cases));
}

TEST(PciDump, ReadsLspciDxxxAndIgnoresOtherDomains) {
    const Lookup cases[] = {
        {0, 0, 0, 0x00, 0x71908086},
        {0, 0, 0, 0x50, 0x0000020C},
        {0, 0, 0, 0x58, 0x00000010},
        // Domain 1 lists its own card first; domain 0's card is the one read.
        {0, 9, 0, 0x10, 0x00000331},
        {0, 9, 1, 0x3C, 0x0000020A},
        {0, 9, 1, 0xFC, 0x00000000},
        {0, 7, 0, 0x00, 0xFFFFFFFF},
    };
    ExpectLookups("bx440-D-xxx.txt", std::begin(cases), std::end(cases));
}

const std::string Header = "00:09.0 Multimedia audio controller: Device 128e:0009 (rev 01)\n";
// The sixteen bytes at offset 0x00 of the card's function 0, and a line holding them.
const std::string Bytes00 = " 8e 12 09 00 05 00 80 02 01 00 01 04 00 40 80 00";
const std::string Line00 = "00:" + Bytes00 + "\n";
const std::string Line10 = "10: 31 03 00 00 00 00 00 e3 00 00 00 00 00 00 00 00\n";
const uint32_t None = 0xFFFFFFFF;

struct TextCase {
    const char* what;
    std::string text;
    uint32_t reg00, reg10;  // what registers 0x00 and 0x10 of 00:09.0 read
};

TEST(PciDump, SkipsMalformedLinesAndNeverLendsBytesToTheWrongFunction) {
    const std::string longHeader = "00:09.0 " + std::string(5000, 'x') + "\n";
    const std::string longLine10 = Line10.substr(0, Line10.size() - 1) + std::string(5000, ' ') + "77\n";
    const std::string nulLine = "00:" + Bytes00 + std::string(1, '\0') + "junk\n";
    const TextCase cases[] = {
        {"plain", Header + Line00 + Line10, CardIdFunction0, 0x331},
        {"no trailing newline", Header + Line00 + Line10.substr(0, Line10.size() - 1), CardIdFunction0, 0x331},
        {"CRLF line ends, upper-case hex, trailing blanks",
         "00:09.0 Multimedia\r\n00: 8E 12 09 00 05 00 80 02 01 00 01 04 00 40 80 00 \r\n", CardIdFunction0, None},
        {"header without description", "00:09.0\n" + Line10, None, 0x331},
        {"blank and indented lines between", Header + "\n\tSubsystem: x\n" + Line10, None, 0x331},
        {"truncated hex line", Header + "00: 8e 12 09\n" + Line10, None, 0x331},
        {"seventeen bytes", Header + "00:" + Bytes00 + " 00\n", None, None},
        {"one-digit byte", Header + "00: 8e 12 9 00 05 00 80 02 01 00 01 04 00 40 80 00 00\n", None, None},
        {"three-digit byte", Header + "00: 8e 12 009 00 05 00 80 02 01 00 01 04 00 40 80 00\n", None, None},
        {"non-hex byte", Header + "00: 8e 12 0g 00 05 00 80 02 01 00 01 04 00 40 80 00\n", None, None},
        {"offsets out of range or unaligned",
         Header + "100:" + Bytes00 + "\n08:" + Bytes00 + "\n1000:" + Bytes00 + "\n", None, None},
        {"junk between header and data", Header + "garbage\n" + Line00, None, None},
        {"data before any header", Line00 + Header + Line10, None, 0x331},
        {"invalid headers",
         "00:20.0 x\n" + Line00 + "00:09.8 x\n" + Line00 + "00:09.0x\n" + Line00 + "0:00:09.0 x\n" + Line00 +
             "000:09.0 x\n" + Line00 + "00:009.0 x\n" + Line00,
         None, None},
        {"other domains", "0001:00:09.0 x\n" + Line00 + "10000:00:09.0 x\n" + Line10, None, None},
        {"domain zero", "0000:00:09.0 x\n" + Line00, CardIdFunction0, None},
        {"first occurrence wins",
         Header + Line00 + Header + "00: 8e 12 08 00 05 00 80 02 01 00 01 04 00 40 80 00\n" + Line10,
         CardIdFunction0, 0x331},
        {"over-long header still opens the function", longHeader + Line00, CardIdFunction0, None},
        {"over-long hex line is skipped, not split", Header + longLine10 + Line00, CardIdFunction0, None},
        {"NUL inside a line", Header + nulLine + Line10, None, 0x331},
        {"empty", "", None, None},
    };
    const std::string path = testing::TempDir() + "pci_dump_case.txt";
    const uint32_t address00 = PciConfigAddress(0, 9, 0, 0x00), address10 = PciConfigAddress(0, 9, 0, 0x10);
    for (const TextCase& c : cases) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
        EXPECT_EQ(FindInFile(path, address00), c.reg00) << c.what;
        EXPECT_EQ(FindInFile(path, address10), c.reg10) << c.what;
        // The text form stops at a NUL; the file form sees every byte.
        if (c.text.find('\0') == std::string::npos) {
            EXPECT_EQ(PciDumpFindInText(c.text.c_str(), address00), c.reg00) << c.what;
            EXPECT_EQ(PciDumpFindInText(c.text.c_str(), address10), c.reg10) << c.what;
        }
    }
    remove(path.c_str());
}

TEST(PciDump, UnreadableFileIsReportedAndLeavesTheValue) {
    uint32_t value = 0x12345678;
    EXPECT_FALSE(PciDumpFindInFile(DataFile("no-such-dump.txt").c_str(), 0x80000000, &value));
    EXPECT_EQ(value, 0x12345678u);
}

// Mangled copies of a real dump (bytes replaced, inserted, cut off) are read without a fault;
// AddressSanitizer and UBSan watch the parser while it reads them.
TEST(PciDump, SurvivesMangledDumps) {
    const std::string original = ReadAll(DataFile("bx440-x.txt"));
    ASSERT_FALSE(original.empty());
    std::mt19937 random(1234);
    const std::string path = testing::TempDir() + "pci_dump_mangled.bin";
    for (int round = 0; round < 300; ++round) {
        std::string text = original;
        int edits = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < edits && !text.empty(); ++i) {
            size_t at = random() % text.size();
            char junk = static_cast<char>(random() % 256);
            switch (random() % 4) {
            case 0: text[at] = junk; break;
            case 1: text.insert(at, static_cast<size_t>(random() % 600), junk); break;
            case 2: text.erase(at, random() % 80); break;
            default: text.resize(at); break;
            }
        }
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        uint32_t value;
        for (unsigned reg : {0x00u, 0x10u, 0x3Cu, 0xFFu})
            ASSERT_TRUE(PciDumpFindInFile(path.c_str(), PciConfigAddress(0, 9, 1, reg), &value));
        PciDumpFindInText(text.c_str(), PciConfigAddress(0, 9, 0, 0x10));
    }
    remove(path.c_str());
}

}  // namespace
