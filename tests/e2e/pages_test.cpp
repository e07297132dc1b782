// Both pages as the running panel shows them: a screenshot of each, and the lists' entries, which
// the page adds from the list data at its first showing. The layouts themselves are checked
// control by control, in both languages, in the compiled resources (tools/check-dialogs.py).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panel_driver.h"
#include "panel_fixture.h"
#include "resource.h"

namespace e2e {
namespace {

std::string Shot(const char* page) { return std::string(Korean() ? "ko-" : "en-") + page; }

TEST_F(PanelTest, InformationPageIsShown) {
    HWND sheet = Open();
    ASSERT_TRUE(sheet);
    ASSERT_EQ(CurrentPageIndex(sheet), 0);
    std::string why;
    EXPECT_TRUE(SaveScreenshot(sheet, Shot("information").c_str(), &why)) << why;
}

TEST_F(PanelTest, SettingPageIsShown) {
    HWND sheet = Open();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(SelectPage(sheet, 1)) << "the Setting page did not become current";
    std::string why;
    EXPECT_TRUE(SaveScreenshot(sheet, Shot("setting").c_str(), &why)) << why;
}

TEST_F(PanelTest, SettingListsHoldTheirEntriesInOrder) {
    HWND sheet = Open();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(SelectPage(sheet, 1));
    HWND page = CurrentPage(sheet);
    HWND irq = GetDlgItem(page, IDC_IRQ);
    HWND port = GetDlgItem(page, IDC_PORT);
    ASSERT_TRUE(irq);
    ASSERT_TRUE(port);
    EXPECT_EQ(ComboEntries(irq), (std::vector<std::string>{"5", "7", "9", "10", "11", "12"}));
    EXPECT_EQ(ComboEntries(port), (std::vector<std::string>{"330", "340", "350", "360", "370", "390"}));
}

}  // namespace
}  // namespace e2e
