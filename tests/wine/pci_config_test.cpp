#include <windows.h>

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "card_probe.h"
#include "pci_config.h"
#include "pci_ports_x86.h"

namespace {

const char DumpVariable[] = "PCI_CONFIG_DUMP";

void WriteFile(const std::string& path, const std::string& text) {
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    fputs(text.c_str(), file);
    fclose(file);
}

// The host bridge and the card at 00:09.0 with the given BAR0 and function 1 interrupt line bytes.
std::string CardDump(const char* bar, const char* interruptLine) {
    return std::string(
               "00:00.0 Host bridge: Intel Corporation 440BX/ZX/DX - 82443BX/ZX/DX Host bridge (rev 03)\r\n"
               "00: 86 80 90 71 06 00 00 22 03 00 00 06 00 40 00 00\r\n"
               "\r\n"
               "00:09.0 Multimedia audio controller: Device 128e:0009 (rev 01)\r\n"
               "00: 8e 12 09 00 05 00 80 02 01 00 01 04 00 40 80 00\r\n"
               "10: ") +
           bar + " 00 00 00 00 00 00 00 00 00 00 00 00 00 00\r\n"
           "\r\n"
           "00:09.1 Multimedia controller: Device 128e:0008 (rev 01)\r\n"
           "00: 8e 12 08 00 05 00 80 02 01 00 80 04 00 40 80 00\r\n"
           "30: 00 00 00 00 00 00 00 00 00 00 00 00 " +
           interruptLine + " 02 00 00\r\n";
}

class PciOnWindows : public testing::Test {
protected:
    void SetUp() override {
        char directory[MAX_PATH], file[MAX_PATH];
        ASSERT_NE(GetTempPathA(sizeof directory, directory), 0u);
        ASSERT_NE(GetTempFileNameA(directory, "pci", 0, file), 0u);
        path_ = file;
    }
    void TearDown() override {
        SetEnvironmentVariableA(DumpVariable, nullptr);
        DeleteFileA(path_.c_str());
    }
    std::string path_;
};

TEST_F(PciOnWindows, DumpNamedInTheEnvironmentServesEveryRead) {
    ASSERT_TRUE(SetEnvironmentVariableA(DumpVariable, path_.c_str()));
    WriteFile(path_, CardDump("31 03", "0a"));
    EXPECT_EQ(PciConfigRead(0, 0, 0, 0x00), 0x71908086u);
    EXPECT_EQ(PciConfigRead(0, 9 + 32, 1, 0x00), CardIdFunction1);
    EXPECT_EQ(PciConfigRead(0, 9, 0, 0x40), 0xFFFFFFFFu);
    CardProbeResult first = CardProbe(CardProbeMode::FirstMatch);
    EXPECT_TRUE(first.found);
    EXPECT_STREQ(first.portText, "330");
    EXPECT_STREQ(first.irqText, "10");

    // Nothing is cached: the next probe sees the changed dump.
    WriteFile(path_, CardDump("91 03", "05"));
    CardProbeResult second = CardProbe(CardProbeMode::LastMatch);
    EXPECT_TRUE(second.found);
    EXPECT_STREQ(second.portText, "390");
    EXPECT_STREQ(second.irqText, " 5");
}

bool ReportsWindows9x() {
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// Wine runs as NT unless pci_trap/run-as-win98.sh asks for Windows 98; then the reads below go to
// the (trapped) port instructions.
TEST_F(PciOnWindows, RunsAsThePlatformTheSessionAsksFor) {
    char expect[4] = "";
    GetEnvironmentVariableA("PCI_EXPECT_WIN9X", expect, sizeof expect);
    EXPECT_EQ(ReportsWindows9x(), strcmp(expect, "1") == 0);
}

TEST_F(PciOnWindows, WithoutADumpNothingIsFoundAndTheProcessLivesOn) {
    WriteFile(path_, CardDump("31 03", "0a"));
    ASSERT_TRUE(SetEnvironmentVariableA(DumpVariable, (path_ + ".missing").c_str()));
    EXPECT_EQ(PciConfigRead(0, 0, 0, 0x00), 0xFFFFFFFFu);
    SetEnvironmentVariableA(DumpVariable, nullptr);
    EXPECT_EQ(PciConfigRead(0, 0, 0, 0x00), 0xFFFFFFFFu);
    CardProbeResult result = CardProbe(CardProbeMode::FirstMatch);
    EXPECT_FALSE(result.found);
    EXPECT_STREQ(result.portText, "");
    EXPECT_STREQ(result.irqText, "");
}

// The head of the thread's exception handler chain, fs:[0].
void* HandlerChainHead() {
    void* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

// Wine, like NT, traps the port instructions; the guard turns the trap into a read of nothing and
// leaves the thread's handler chain as it found it.
TEST_F(PciOnWindows, TrappedPortInstructionsReadNothing) {
    void* chainBefore = HandlerChainHead();
    PortOut32(PciAddressPort, PciConfigAddress(0, 9, 0, 0x00));
    EXPECT_EQ(HandlerChainHead(), chainBefore);
    EXPECT_EQ(PortIn32(PciDataPort), 0xFFFFFFFFu);
    EXPECT_EQ(HandlerChainHead(), chainBefore);
    for (unsigned device = 0; device < 32; ++device)
        EXPECT_EQ(PciConfigReadPorts(PortOut32, PortIn32, 0, device, 0, 0x00), 0xFFFFFFFFu);
    EXPECT_EQ(HandlerChainHead(), chainBefore);
}

}  // namespace
