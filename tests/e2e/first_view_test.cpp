// What each page shows when it first comes up on the prepared machine: the card at 00:09 with
// interrupt 10 and address 0x330 beside a 440BX chipset, the INI file of PrepareMachine, no stored
// Auto Check value, no driver files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "panel_driver.h"
#include "panel_fixture.h"
#include "resource.h"

namespace e2e {
namespace {

// The pages' contents, apart from their layout: a ctest entry of its own, so that the sheet and
// layout checks stand on their own while the pages' filling is under way.
class FirstView : public PanelTest {};

std::string ItemText(HWND page, int id) { return TextOf(GetDlgItem(page, id)); }

void ExpectText(HWND page, int id, const std::string& expected) {
    const std::string actual = ItemText(page, id);
    EXPECT_TRUE(actual == expected) << "control " << id << " shows \"" << Utf8(actual) << "\", expected \""
                                    << Utf8(expected) << "\"";
}

// The selected entry's text, read whole through ComboEntries (Wine cuts an "A" CB_GETLBTEXT from
// another process to its first character).
std::string SelectedEntry(HWND combo) {
    const LRESULT sel = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR) return "<none>";
    const std::vector<std::string> entries = ComboEntries(combo);
    return sel < static_cast<LRESULT>(entries.size()) ? entries[sel] : "<out of range>";
}

TEST_F(FirstView, SettingPageShowsStoredFilesCardResourcesAndAutoDetect) {
    HWND sheet = Open();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(SelectPage(sheet, 1));
    HWND page = CurrentPage(sheet);
    ASSERT_TRUE(page);

    // The INI file's values, upper-cased.
    ExpectText(page, IDC_FIRMWARE_PATH, "C:\\KESTRO\\UTIL\\PELKAD.BIN");
    ExpectText(page, IDC_MASTERBANK_PATH, "C:\\KESTRO\\UTIL\\TORBEL08.94B");
    ExpectText(page, IDC_SLAVEBANK_PATH, "C:\\KESTRO\\UTIL\\TORBEL08.94B");
    // The card's resources are selected; with no stored Auto Check the box is checked and both
    // lists are disabled.
    HWND irq = GetDlgItem(page, IDC_IRQ);
    HWND port = GetDlgItem(page, IDC_PORT);
    EXPECT_EQ(SelectedEntry(irq), "10");
    EXPECT_EQ(SelectedEntry(port), "330");
    EXPECT_EQ(SendMessageA(GetDlgItem(page, IDC_AUTODETECT), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(irq)) << "Sound Interrupt list";
    EXPECT_FALSE(IsWindowEnabled(port)) << "Sound Address list";
    for (int id : {IDC_BROWSE_FIRMWARE, IDC_BROWSE_MASTERBANK, IDC_BROWSE_SLAVEBANK, IDC_SYSTEM_INFO,
                   IDC_MULTIMEDIA_INFO, IDC_BANK_MANAGER})
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, id))) << "button " << id;
}

TEST_F(FirstView, SettingPageShowsDefaultFilesWithoutAnIniFile) {
    PrepareMachine(false);
    HWND sheet = Open();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(SelectPage(sheet, 1));
    HWND page = CurrentPage(sheet);
    ASSERT_TRUE(page);
    ExpectText(page, IDC_FIRMWARE_PATH, "PELKAD.BIN");
    ExpectText(page, IDC_MASTERBANK_PATH, "TORBEL08.94B");
    ExpectText(page, IDC_SLAVEBANK_PATH, "TORBEL08.94B");
}

}  // namespace
}  // namespace e2e
