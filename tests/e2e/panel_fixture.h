// A test case on a freshly prepared machine with at most one panel of its own.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "panel_driver.h"

namespace e2e {

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The run's locale must be the one the expectations are written for, or every text
        // comparison below would test the harness instead of the panel.
        const LANGID lang = GetUserDefaultLangID();
        if (Korean()) {
            ASSERT_EQ(PRIMARYLANGID(lang), LANG_KOREAN) << "run under LC_ALL=ko_KR.UTF-8";
            ASSERT_EQ(GetACP(), 949u);
        } else {
            ASSERT_EQ(PRIMARYLANGID(lang), LANG_ENGLISH) << "run under an English locale";
        }
        // A panel left open by an earlier case would make this case's start end at once.
        ASSERT_TRUE(WindowsWithCaption(PanelCaption()).empty())
            << "a window titled \"" << Utf8(PanelCaption()) << "\" is open before the test starts";
        PrepareMachine(true);
    }

    void TearDown() override {
        if (sheet_) {
            EXPECT_TRUE(CloseSheet(sheet_, panel_)) << "Cancel did not end the panel within 10 s";
        }
    }

    // Starts the panel and waits for its sheet; null (with a failure recorded) when none appears.
    HWND Open() {
        std::string why;
        if (!panel_.Start(&why)) {
            ADD_FAILURE() << why;
            return nullptr;
        }
        sheet_ = WaitForSheet(panel_, 20000, &why);
        if (!sheet_) ADD_FAILURE() << why;
        return sheet_;
    }

    PanelProcess panel_;
    HWND sheet_ = nullptr;
};

}  // namespace e2e
