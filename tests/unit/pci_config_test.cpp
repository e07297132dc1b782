#include "pci_config.h"

#include "card_probe.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

struct AddressCase {
    unsigned bus, device, function, reg;
    uint32_t expected;
};

TEST(PciConfigAddress, MasksEachFieldAndKeepsTheRegisterWhole) {
    const AddressCase cases[] = {
        {0, 0, 0, 0x00, 0x80000000},
        {0, 9, 0, 0x10, 0x80004810},
        {0, 9, 1, 0x3C, 0x8000493C},
        {0, 31, 7, 0xFC, 0x8000FFFC},
        // Out-of-range arguments wrap: device 33 is device 1, function 9 is function 1.
        {0, 33, 9, 0x3C, 0x8000093C},
        {0, 32, 0, 0x00, 0x80000000},
        // Bits 1-0 of the register stay; only bits above 7 are dropped.
        {0, 7, 0, 0x3E, 0x8000383E},
        {0, 0, 0, 0x1FF, 0x800000FF},
        {0xFF, 0, 0, 0, 0x80FF0000},
        {0x1FF, 0, 0, 0, 0x80FF0000},
        {0x100, 0, 0, 0, 0x80000000},
        {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0x80FFFFFF},
    };
    for (const AddressCase& c : cases) {
        EXPECT_EQ(PciConfigAddress(c.bus, c.device, c.function, c.reg), c.expected)
            << std::hex << "bus " << c.bus << " device " << c.device << " function " << c.function
            << " register " << c.reg;
    }
}

// Every port operation the read performs, in order.
struct PortAccess {
    bool out;
    uint16_t port;
    uint32_t value;
    bool operator==(const PortAccess& o) const {
        return out == o.out && port == o.port && value == o.value;
    }
};
std::vector<PortAccess> accesses;
const uint32_t DataPortValue = 0x0009128E;

void RecordOut(uint16_t port, uint32_t value) { accesses.push_back({true, port, value}); }
uint32_t RecordIn(uint16_t port) {
    accesses.push_back({false, port, 0});
    return DataPortValue;
}

TEST(PciConfigReadPorts, WritesTheAddressOnceThenReadsTheDataPortOnce) {
    accesses.clear();
    EXPECT_EQ(PciConfigReadPorts(RecordOut, RecordIn, 0, 33, 9, 0x3E), DataPortValue);
    const std::vector<PortAccess> expected = {{true, 0xCF8, 0x8000093E}, {false, 0xCFC, 0}};
    EXPECT_EQ(accesses, expected);
}

// Points PCI_CONFIG_DUMP at a file for one test and restores the variable afterwards.
class PciDumpEnvironment : public testing::Test {
protected:
    void SetUp() override {
        const char* old = getenv(Name);
        hadOld_ = old != nullptr;
        if (hadOld_) old_ = old;
    }
    void TearDown() override {
        if (hadOld_)
            setenv(Name, old_.c_str(), 1);
        else
            unsetenv(Name);
    }
    static std::string DataFile(const char* name) {
        std::string here = __FILE__;
        return here.substr(0, here.rfind('/')) + "/../data/pci/" + name;
    }
    static constexpr const char* Name = "PCI_CONFIG_DUMP";

private:
    bool hadOld_ = false;
    std::string old_;
};

TEST_F(PciDumpEnvironment, ReadsServeTheDumpThroughTheSameAddressMasks) {
    setenv(Name, DataFile("bx440-x.txt").c_str(), 1);
    EXPECT_EQ(PciConfigRead(0, 0, 0, 0x00), 0x71908086u);
    EXPECT_EQ(PciConfigRead(0, 9, 0, 0x10), 0x00000331u);
    EXPECT_EQ(PciConfigRead(0, 9 + 32, 1 + 8, 0x3C), 0x0000020Au);
    EXPECT_EQ(PciConfigRead(0x101, 0, 0, 0x00), 0x0525102Bu);
    EXPECT_EQ(PciConfigRead(0, 2, 0, 0x00), 0xFFFFFFFFu);
}

TEST_F(PciDumpEnvironment, WithoutAReadableDumpNothingIsFound) {
    unsetenv(Name);
    EXPECT_EQ(PciConfigRead(0, 0, 0, 0x00), 0xFFFFFFFFu);
    setenv(Name, DataFile("no-such-dump.txt").c_str(), 1);
    EXPECT_EQ(PciConfigRead(0, 0, 0, 0x00), 0xFFFFFFFFu);
    setenv(Name, "", 1);
    EXPECT_EQ(PciConfigRead(0, 0, 0, 0x00), 0xFFFFFFFFu);
}

// The card at 00:09.0 with the given base address register and function 1 interrupt line.
void WriteCardDump(const std::string& path, const char* bar, const char* interruptLine) {
    std::ofstream(path, std::ios::trunc)
        << "00:00.0 Host bridge: Intel Corporation 440BX/ZX/DX - 82443BX/ZX/DX Host bridge (rev 03)\n"
           "00: 86 80 90 71 06 00 00 22 03 00 00 06 00 40 00 00\n\n"
           "00:09.0 Multimedia audio controller: Device 128e:0009 (rev 01)\n"
           "00: 8e 12 09 00 05 00 80 02 01 00 01 04 00 40 80 00\n"
           "10: " << bar << " 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n\n"
           "00:09.1 Multimedia controller: Device 128e:0008 (rev 01)\n"
           "00: 8e 12 08 00 05 00 80 02 01 00 80 04 00 40 80 00\n"
           "30: 00 00 00 00 00 00 00 00 00 00 00 00 " << interruptLine << " 02 00 00\n";
}

TEST_F(PciDumpEnvironment, EveryProbeReadsTheDumpAfresh) {
    const std::string path = testing::TempDir() + "pci_probe_env_dump.txt";
    setenv(Name, path.c_str(), 1);

    WriteCardDump(path, "31 03", "0a");
    CardProbeResult first = CardProbe(CardProbeMode::FirstMatch);
    EXPECT_TRUE(first.found);
    EXPECT_STREQ(first.portText, "330");
    EXPECT_STREQ(first.irqText, "10");

    WriteCardDump(path, "91 03", "05");
    CardProbeResult second = CardProbe(CardProbeMode::LastMatch);
    EXPECT_TRUE(second.found);
    EXPECT_STREQ(second.portText, "390");
    EXPECT_STREQ(second.irqText, " 5");

    remove(path.c_str());
    CardProbeResult gone = CardProbe(CardProbeMode::FirstMatch);
    EXPECT_FALSE(gone.found);
    EXPECT_STREQ(gone.portText, "");
}

}  // namespace
