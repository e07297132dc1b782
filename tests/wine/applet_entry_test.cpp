// Pendry.cpl as the Control Panel host meets it: loaded as a library and driven through CPlApplet.
#include <windows.h>
#include <cpl.h>

#include <gtest/gtest.h>

#include "applet_resource.h"

namespace {

class AppletEntry : public ::testing::Test {
protected:
    void SetUp() override {
        char path[MAX_PATH] = {0};
        ASSERT_TRUE(GetEnvironmentVariableA("PENDRY_CPL", path, sizeof path)) << "PENDRY_CPL is not set";
        module = LoadLibraryA(path);
        ASSERT_TRUE(module) << "cannot load " << path << ", error " << GetLastError();
        entry = reinterpret_cast<APPLET_PROC>(reinterpret_cast<void*>(GetProcAddress(module, "CPlApplet")));
        ASSERT_TRUE(entry) << "no undecorated CPlApplet export";
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }
    LONG Send(UINT message, LPARAM lParam1 = 0, LPARAM lParam2 = 0) { return entry(nullptr, message, lParam1, lParam2); }

    HMODULE module = nullptr;
    APPLET_PROC entry = nullptr;
};

TEST_F(AppletEntry, AnswersTheHostsMessagesWithOneItem) {
    EXPECT_EQ(Send(CPL_INIT), 1);
    EXPECT_EQ(Send(CPL_GETCOUNT), 1);
    for (LPARAM item : {0, 3}) {
        CPLINFO info = {-1, -1, -1, 77};
        EXPECT_EQ(Send(CPL_INQUIRE, item, reinterpret_cast<LPARAM>(&info)), 0);
        EXPECT_EQ(info.idIcon, IDI_APPLET) << "item " << item;
        EXPECT_EQ(info.idName, IDS_APPLET_NAME);
        EXPECT_EQ(info.idInfo, IDS_APPLET_INFO);
        EXPECT_EQ(info.lData, 0);
    }
    NEWCPLINFOA newInfo = {};
    for (UINT message : {UINT(CPL_SELECT), UINT(CPL_NEWINQUIRE), UINT(CPL_STOP), UINT(CPL_EXIT), 9u, 1000u})
        EXPECT_EQ(Send(message, 0, reinterpret_cast<LPARAM>(&newInfo)), 0) << "message " << message;
    EXPECT_EQ(newInfo.dwSize, 0u) << "CPL_NEWINQUIRE is left to CPL_INQUIRE's record";
}

TEST_F(AppletEntry, CarriesTheItemsIconAndTexts) {
    char text[256] = {0};
    ASSERT_GT(LoadStringA(module, IDS_APPLET_NAME, text, sizeof text), 0);
    EXPECT_STREQ(text, "Quenley Zentaro");
    ASSERT_GT(LoadStringA(module, IDS_APPLET_INFO, text, sizeof text), 0);
    EXPECT_STREQ(text, "Quenley Zentaro Control Pannel(Tavish)");

    HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(IDI_APPLET), RT_GROUP_ICON);
    ASSERT_TRUE(group);
    const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    ASSERT_TRUE(dir);
    // GRPICONDIR: reserved, type, count, then 14-byte entries (width, height, colours, ...).
    EXPECT_EQ(dir[4] | dir[5] << 8, 3) << "40 x 41 at 256 colours, then 32 x 32 and 16 x 16 at 16";
    EXPECT_EQ(dir[6], 40) << "width";
    EXPECT_EQ(dir[7], 41) << "height";
    EXPECT_TRUE(LoadIconA(module, MAKEINTRESOURCEA(IDI_APPLET)));
}

}  // namespace
