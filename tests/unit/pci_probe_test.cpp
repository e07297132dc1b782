#include "card_probe.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

// A bus 0 that the probe reads through PciConfigReader: configuration dwords by address, and a
// record of every address read, in order.
std::map<uint32_t, uint32_t> configSpace;
std::vector<uint32_t> reads;

uint32_t FakeRead(unsigned bus, unsigned device, unsigned function, unsigned reg) {
    uint32_t address = PciConfigAddress(bus, device, function, reg);
    reads.push_back(address);
    auto it = configSpace.find(address);
    return it == configSpace.end() ? 0xFFFFFFFF : it->second;
}

class CardProbeTest : public testing::Test {
protected:
    void SetUp() override {
        configSpace.clear();
        reads.clear();
    }
    static void AddCard(unsigned device, uint32_t bar, uint32_t interruptLine) {
        configSpace[PciConfigAddress(0, device, 0, 0x00)] = CardIdFunction0;
        configSpace[PciConfigAddress(0, device, 0, 0x10)] = bar;
        configSpace[PciConfigAddress(0, device, 1, 0x00)] = CardIdFunction1;
        configSpace[PciConfigAddress(0, device, 1, 0x3C)] = interruptLine;
    }
    static void AddDevice(unsigned device, uint32_t id) {
        configSpace[PciConfigAddress(0, device, 0, 0x00)] = id;
        configSpace[PciConfigAddress(0, device, 0, 0x10)] = 0x331;
        configSpace[PciConfigAddress(0, device, 0, 0x3C)] = 0x105;
    }
    // The identity reads of devices first..last, function 0.
    static std::vector<uint32_t> IdentityReads(unsigned first, unsigned last) {
        std::vector<uint32_t> addresses;
        for (unsigned device = first; device <= last; ++device)
            addresses.push_back(PciConfigAddress(0, device, 0, 0x00));
        return addresses;
    }
    static void AppendCardReads(std::vector<uint32_t>* addresses, unsigned device) {
        addresses->push_back(PciConfigAddress(0, device, 0, 0x10));
        addresses->push_back(PciConfigAddress(0, device, 1, 0x3C));
    }
};

struct TextCase {
    uint32_t value;
    const char* text;
};

TEST_F(CardProbeTest, PortTextIsTheLowTwelveBitsLessTheIoIndicator) {
    const TextCase cases[] = {
        {0x00000331, "330"}, {0x00000391, "390"}, {0x00000001, "  0"},
        // Low twelve bits of zero give -1, formatted as a signed 32-bit value.
        {0x00000000, "FFFFFFFF"}, {0x0000E301, "300"}, {0xFFFFFFFF, "FFE"},
    };
    for (const TextCase& c : cases) {
        configSpace.clear();
        AddCard(9, c.value, 0x05);
        CardProbeResult result = CardProbe(CardProbeMode::FirstMatch, FakeRead);
        EXPECT_TRUE(result.found);
        EXPECT_STREQ(result.portText, c.text) << std::hex << "BAR0 " << c.value;
    }
}

TEST_F(CardProbeTest, IrqTextIsTheLowFourBitsOfFunctionOnesInterruptLine) {
    const TextCase cases[] = {
        {0x05, " 5"}, {0x0A, "10"}, {0xFF, "15"}, {0x00, " 0"},
        // The interrupt pin in bits 15-8 does not leak into the text.
        {0x0000010B, "11"},
    };
    for (const TextCase& c : cases) {
        configSpace.clear();
        AddCard(9, 0x331, c.value);
        // Function 0's own interrupt line must not be the one used.
        configSpace[PciConfigAddress(0, 9, 0, 0x3C)] = 0x07;
        CardProbeResult result = CardProbe(CardProbeMode::LastMatch, FakeRead);
        EXPECT_STREQ(result.irqText, c.text) << std::hex << "interrupt line " << c.value;
    }
}

TEST_F(CardProbeTest, EmptyBusMakesThirtyTwoIdentityReads) {
    AddDevice(0, 0x71908086);
    AddDevice(7, 0x71108086);
    // Function 1 alone carries no weight in the probe.
    configSpace[PciConfigAddress(0, 11, 1, 0x00)] = CardIdFunction1;
    for (CardProbeMode mode : {CardProbeMode::FirstMatch, CardProbeMode::LastMatch}) {
        reads.clear();
        CardProbeResult result = CardProbe(mode, FakeRead);
        EXPECT_FALSE(result.found);
        EXPECT_STREQ(result.portText, "");
        EXPECT_STREQ(result.irqText, "");
        EXPECT_EQ(reads, IdentityReads(0, 31));
    }
}

TEST_F(CardProbeTest, FirstMatchStopsAtTheLowestCard) {
    AddDevice(0, 0x71908086);
    AddCard(9, 0x331, 0x05);
    AddCard(12, 0x391, 0x0A);
    CardProbeResult result = CardProbe(CardProbeMode::FirstMatch, FakeRead);
    EXPECT_TRUE(result.found);
    EXPECT_STREQ(result.portText, "330");
    EXPECT_STREQ(result.irqText, " 5");

    std::vector<uint32_t> expected = IdentityReads(0, 9);
    AppendCardReads(&expected, 9);
    EXPECT_EQ(reads, expected);
}

TEST_F(CardProbeTest, LastMatchScansOnAndTakesTheHighestCard) {
    AddCard(9, 0x331, 0x05);
    AddCard(12, 0x391, 0x0A);
    CardProbeResult result = CardProbe(CardProbeMode::LastMatch, FakeRead);
    EXPECT_TRUE(result.found);
    EXPECT_STREQ(result.portText, "390");
    EXPECT_STREQ(result.irqText, "10");

    std::vector<uint32_t> expected = IdentityReads(0, 9);
    AppendCardReads(&expected, 9);
    for (uint32_t address : IdentityReads(10, 12)) expected.push_back(address);
    AppendCardReads(&expected, 12);
    for (uint32_t address : IdentityReads(13, 31)) expected.push_back(address);
    EXPECT_EQ(reads, expected);
}

TEST_F(CardProbeTest, CardWithoutFunctionOneIsFoundWithInterruptFifteen) {
    configSpace[PciConfigAddress(0, 31, 0, 0x00)] = CardIdFunction0;
    configSpace[PciConfigAddress(0, 31, 0, 0x10)] = 0x351;
    for (CardProbeMode mode : {CardProbeMode::FirstMatch, CardProbeMode::LastMatch}) {
        CardProbeResult result = CardProbe(mode, FakeRead);
        EXPECT_TRUE(result.found);
        EXPECT_STREQ(result.portText, "350");
        EXPECT_STREQ(result.irqText, "15");
    }
}

}  // namespace
