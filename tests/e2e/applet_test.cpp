// The Control Panel item: the real Control Panel host loads Pendry.cpl and opens the item, which
// starts the panel when the card is there and warns when it is not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panel_driver.h"
#include "panel_fixture.h"

namespace e2e {
namespace {

// The card's function 0 without its function 1: the panel's own probe would find it, the applet not.
const char kDumpWithoutFunctionOne[] =
    "00:00.0 Host bridge: Intel Corporation 440BX/ZX/DX - 82443BX/ZX/DX Host bridge (rev 03)\n"
    "00: 86 80 90 71 06 01 10 22 03 00 00 06 00 40 00 00\n"
    "00:09.0 Multimedia audio controller: Device 128e:0009 (rev 01)\n"
    "00: 8e 12 09 00 05 00 90 02 01 00 01 04 00 20 80 00\n"
    "10: 31 03 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n";

const DWORD kWindowTimeoutMs = 20000;

std::string Directory(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string Variable(const char* name) {
    char value[MAX_PATH] = {0};
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length && length < sizeof value ? value : "";
}

// Opens the item as a user does from the Control Panel: `control Pendry.cpl` runs the host, which
// sends the item CPL_DBLCLK. The host runs in the panel's directory, where "Orrivan.exe" is found.
class AppletTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        applet_ = Variable("PENDRY_CPL");
        ASSERT_FALSE(applet_.empty()) << "PENDRY_CPL is not set";
        ASSERT_FALSE(Variable("ORRIVAN_EXE").empty()) << "ORRIVAN_EXE is not set";
    }
    void TearDown() override {
        // A panel the item started is closed like a user closes it, and must go.
        for (HWND w : WindowsWithCaption(PanelCaption())) PostMessageA(w, WM_CLOSE, 0, 0);
        for (DWORD start = GetTickCount(); !WindowsWithCaption(PanelCaption()).empty(); Sleep(100)) {
            if (GetTickCount() - start > 10000) {
                ADD_FAILURE() << "the panel the item started did not close";
                break;
            }
        }
        if (host_.hProcess) {
            if (WaitForSingleObject(host_.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(host_.hProcess, 1);
            CloseHandle(host_.hProcess);
            CloseHandle(host_.hThread);
        }
        PanelTest::TearDown();
    }

    void OpenItem() {
        std::string command = "control.exe \"" + applet_ + "\"";
        std::string directory = Directory(Variable("ORRIVAN_EXE"));
        STARTUPINFOA si{};
        si.cb = sizeof si;
        ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   directory.c_str(), &si, &host_))
            << "cannot start " << command << ", error " << GetLastError();
    }

    // Waits for a top-level window with the caption; null when none appears in time.
    static HWND WaitForCaption(const std::string& caption) {
        for (DWORD start = GetTickCount(); GetTickCount() - start < kWindowTimeoutMs; Sleep(100)) {
            std::vector<HWND> found = WindowsWithCaption(caption);
            if (!found.empty()) return found[0];
        }
        return nullptr;
    }

    std::string applet_;
    PROCESS_INFORMATION host_{};
};

TEST_F(AppletTest, OpeningTheItemStartsThePanelWhenTheCardIsThere) {
    OpenItem();
    HWND sheet = WaitForCaption(PanelCaption());
    ASSERT_TRUE(sheet) << "no panel appeared";
    EXPECT_EQ(CurrentPageIndex(sheet), 0);
    EXPECT_TRUE(WindowsWithCaption("Warning !!!").empty()) << "a warning appeared although the card is there";
    EXPECT_EQ(WaitForSingleObject(host_.hProcess, 10000), WAIT_OBJECT_0)
        << "the host must not wait for the panel";
}

TEST_F(AppletTest, OpeningTheItemWarnsWhenFunctionOneIsMissing) {
    ASSERT_TRUE(WriteWholeFile("C:\\e2e\\pci-no-f1.txt", kDumpWithoutFunctionOne));
    SetEnvironmentVariableA("PCI_CONFIG_DUMP", "C:\\e2e\\pci-no-f1.txt");

    OpenItem();
    HWND warning = WaitForCaption("Warning !!!");
    ASSERT_TRUE(warning) << "no warning appeared";
    bool textShown = false;
    for (HWND child = GetWindow(warning, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        textShown = textShown || TextOf(child) == "Zentaro not found!";
    EXPECT_TRUE(textShown) << "the warning does not say \"Zentaro not found!\"";

    // The host waits on the warning; OK ends it without a panel.
    EXPECT_NE(WaitForSingleObject(host_.hProcess, 500), WAIT_OBJECT_0);
    PostMessageA(warning, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForSingleObject(host_.hProcess, 10000), WAIT_OBJECT_0) << "OK did not end the warning";
    EXPECT_TRUE(WindowsWithCaption(PanelCaption()).empty()) << "the panel started without the card";
}

}  // namespace
}  // namespace e2e
