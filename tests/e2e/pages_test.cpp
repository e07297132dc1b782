// Both pages as the user sees them: every control of the page's template with its text, kind, style
// and place, the two lists' entries, and a screenshot of each page.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "panel_driver.h"
#include "panel_fixture.h"

namespace e2e {
namespace {

enum class Kind { Picture, Text, Group, Check, Push, Combo, Other };

const char* KindName(Kind k) {
    switch (k) {
    case Kind::Picture: return "picture";
    case Kind::Text: return "static text";
    case Kind::Group: return "group box";
    case Kind::Check: return "check box";
    case Kind::Push: return "push button";
    case Kind::Combo: return "combo box";
    default: return "other";
    }
}

Kind KindOf(const Control& c) {
    if (lstrcmpiA(c.cls.c_str(), "Static") == 0)
        return (c.style & SS_TYPEMASK) == SS_BITMAP ? Kind::Picture : Kind::Text;
    if (lstrcmpiA(c.cls.c_str(), "Button") == 0) {
        switch (c.style & BS_TYPEMASK) {
        case BS_GROUPBOX: return Kind::Group;
        case BS_AUTOCHECKBOX:
        case BS_CHECKBOX: return Kind::Check;
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON: return Kind::Push;
        default: return Kind::Other;
        }
    }
    if (lstrcmpiA(c.cls.c_str(), "ComboBox") == 0) return Kind::Combo;
    return Kind::Other;
}

const int kAny = -1;  // a coordinate the layout does not fix

// One control of a template. Geometry is that of the English template, in dialog units.
struct Expected {
    Kind kind;
    int id;  // 0: a control without an id of its own
    int x, y, w, h;
    const char* en;  // null: written at run time, not a fixed text
    const char* ko;  // UTF-8; compared in the ANSI code page
    DWORD styleMask = 0;
    DWORD styleBits = 0;
    int wTolerance = 1;
    bool enIsPart = false;  // the English text need only contain en
    SIZE bitmapPx = {0, 0};  // a picture may instead take the size of its bitmap
    int koW = 0;             // the Korean template's width where it differs
};

const DWORD kLeftText = SS_TYPEMASK;  // with styleBits SS_LEFT: a left-aligned static text

std::vector<Expected> InformationLayout() {
    std::vector<Expected> rows = {
        {Kind::Picture, 0, 7, 7, 23, 30, nullptr, nullptr, 0, 0, 1, false, {40, 41}},
        {Kind::Text, 0, 44, 17, 146, 15, "Quenley Zentaro Control Pannel", "Quenley Zentaro 제어판", kLeftText, SS_LEFT},
        {Kind::Text, 0, 7, 47, 99, 11, "Tavish", "제조업체 : (주)Tavish", kLeftText, SS_LEFT, 1, true},
        {Kind::Text, 0, 7, 59, 99, 8, "Device Type  : Audio Card", "장치종류 : 오디오 카드", kLeftText, SS_LEFT},
        {Kind::Picture, 0, 137, 46, 88, 23, nullptr, nullptr, 0, 0, 1, false, {154, 32}},
        {Kind::Group, 0, 7, 76, 225, 41, "System Info", "시스템 정보"},
        {Kind::Text, 0, 14, 89, 63, 8, "Windows Version :", "윈도우    버젼   :", kLeftText, SS_LEFT},
        {Kind::Text, 1000, 77, 90, 103, 8, nullptr, nullptr, kLeftText, SS_LEFT},
        {Kind::Text, 0, 14, 102, 66, 8, "Main PCI Chipset :", "메인보드 칩셋   :", kLeftText, SS_LEFT},
        {Kind::Text, 1001, 77, 102, 103, 8, nullptr, nullptr, kLeftText, SS_LEFT},
        {Kind::Group, 0, 7, 125, 225, 89, "Driver Info", "드라이버 정보"},
        {Kind::Text, 0, 14, 138, 211, 8,
         "FileName           Driver Descrition               Version     Date",
         "파일명               드라이버 정보                     버젼         날짜", kLeftText, SS_LEFT},
    };
    const struct {
        const char* file;
        const char* en;
        const char* ko;
    } files[] = {
        {"KESTRO.EXE", "Dos Initialization Driver", "도스 초기화 드라이버"},
        {"VTESSAN.VXD", "Master Virtual Device", "마스터 가상 사운드 장치"},
        {"TESSAN.DRV", "Master Sound Device", "마스터 사운드 재생 장치"},
        {"VKELDA.VXD", "Slave Virtual Device", "슬레이브 가상 사운드 장치"},
        {"KELDA.DRV", "Slave Sound Device", "슬레이브 사운드 재생 장치"},
    };
    for (int row = 0; row < 5; ++row) {
        const int y = 153 + 12 * row;
        rows.push_back({Kind::Text, 0, 14, y, kAny, kAny, files[row].file, files[row].file, kLeftText, SS_LEFT});
        rows.push_back({Kind::Text, 0, 68, y, 83, kAny, files[row].en, files[row].ko, kLeftText, SS_LEFT});
        // The version fields are 31 to 34 units wide.
        rows.push_back({Kind::Text, 1004 + row, 159, y, 32, kAny, nullptr, nullptr, kLeftText, SS_LEFT, 2});
        rows.push_back({Kind::Text, 1009 + row, 190, y, 35, kAny, nullptr, nullptr, kLeftText, SS_LEFT});
    }
    return rows;
}

std::vector<Expected> SettingLayout() {
    const DWORD comboMask = 0x3 /* CBS_SIMPLE, CBS_DROPDOWN or CBS_DROPDOWNLIST */ | CBS_SORT;
    const DWORD checkMask = BS_TYPEMASK | BS_CENTER;
    return {
        {Kind::Picture, 0, 7, 7, 23, 30, nullptr, nullptr, 0, 0, 1, false, {40, 41}},
        {Kind::Text, 0, 44, 17, 142, 15, "Quenley Zentaro Contorl Pannel", "Quenley Zentaro 제어판", 0, 0, 1, false, {0, 0}, 122},
        {Kind::Group, 0, 7, 41, 225, 40, "Resource Setting", "리소스 설정"},
        {Kind::Text, 0, 13, 53, 61, 8, "Sound Interrupt", "사운드 인터럽트"},
        // A combo box's template height (40) is its dropped-down height; see CheckGeometry.
        {Kind::Combo, 1010, 84, 51, 33, 40, nullptr, nullptr, comboMask, CBS_DROPDOWN},
        {Kind::Text, 0, 130, 53, 52, 8, "Sound Address", "사운드 주소", 0, 0, 1, false, {0, 0}, 47},
        {Kind::Combo, 1011, 190, 51, 33, 40, nullptr, nullptr, comboMask, CBS_DROPDOWN | CBS_SORT},
        {Kind::Check, 1012, 171, 68, 52, 10, "Auto Detect", "자동 설정", checkMask, BS_AUTOCHECKBOX | BS_CENTER},
        {Kind::Group, 0, 7, 86, 225, 97, "Firmware/Bank Setting", "초기화 펌웨어/뱅크 설정"},
        {Kind::Text, 0, 13, 98, 65, 8, "Firmware Setting", "펌웨어 설정"},
        {Kind::Push, 1016, 182, 107, 44, 14, "Browse", "찾   기"},
        {Kind::Text, 1013, 13, 108, 163, 13, nullptr, nullptr, SS_CENTERIMAGE, SS_CENTERIMAGE},
        {Kind::Push, 1017, 182, 135, 44, 14, "Browse", "찾   기"},
        {Kind::Text, 1014, 13, 136, 163, 13, nullptr, nullptr, SS_CENTERIMAGE, SS_CENTERIMAGE},
        {Kind::Push, 1018, 182, 165, 44, 14, "Browse", "찾   기"},
        {Kind::Text, 1015, 13, 165, 163, 13, nullptr, nullptr, SS_CENTERIMAGE, SS_CENTERIMAGE},
        {Kind::Text, 0, 13, 126, 65, 8, "Master Bank Setting", "마스터 뱅크 설정"},
        {Kind::Text, 0, 13, 155, 65, 8, "Slave Bank Setting", "슬레이브 뱅크 설정"},
        {Kind::Group, 0, 7, 187, 225, 27, "Program", "프로그램 호출"},
        {Kind::Push, 1020, 86, 197, 68, 14, "MultiMedia Info", "멀티미디어 등록정보"},
        {Kind::Push, 1019, 13, 197, 68, 14, "System Info", "시스템 등록정보"},
        {Kind::Push, 1021, 158, 197, 68, 14, "Bank Manager", "뱅크 메니져"},
    };
}

std::string Describe(const Expected& e) {
    std::string s = KindName(e.kind);
    if (e.id) s += " " + std::to_string(e.id);
    const char* text = Korean() ? e.ko : e.en;
    if (text) s += std::string(" \"") + text + "\"";
    s += " at " + std::to_string(e.x) + "," + std::to_string(e.y);
    return s;
}

std::string Describe(const Control& c) {
    return std::string(KindName(KindOf(c))) + " id " + std::to_string(c.id) + " \"" + Utf8(c.text) + "\" at " +
           std::to_string(c.x) + "," + std::to_string(c.y) + " size " + std::to_string(c.w) + "x" +
           std::to_string(c.h) + " du";
}

bool TextMatches(const Expected& e, const std::string& actual) {
    if (Korean()) return actual == Ansi(e.ko);
    if (e.enIsPart) return actual.find(e.en) != std::string::npos;
    return actual == e.en;
}

int Distance(const Expected& e, const Control& c) { return std::abs(e.x - c.x) + std::abs(e.y - c.y); }

// Finds the page's control for each expected row: by id where the row has one, else by kind and
// text, else by kind and nearest place. Records a failure for every row without a control and for
// every control of the page that no row claims.
std::vector<const Control*> MatchControls(const std::vector<Expected>& layout, const std::vector<Control>& controls) {
    std::vector<const Control*> match(layout.size(), nullptr);
    std::vector<bool> taken(controls.size(), false);
    // Rows with an id first, so that a text row cannot take a control that has an id of its own.
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < layout.size(); ++i) {
            const Expected& e = layout[i];
            if ((pass == 0) != (e.id != 0)) continue;
            const char* text = Korean() ? e.ko : e.en;
            int best = -1;
            for (size_t j = 0; j < controls.size(); ++j) {
                const Control& c = controls[j];
                if (taken[j]) continue;
                if (e.id) {
                    if (c.id == e.id) best = static_cast<int>(j);
                    continue;
                }
                if (KindOf(c) != e.kind) continue;
                if (c.id >= 1000 && c.id < 1100) continue;  // a control with an id of its own
                if (text && !TextMatches(e, c.text)) continue;
                if (best < 0 || Distance(e, c) < Distance(e, controls[best])) best = static_cast<int>(j);
            }
            if (best < 0) {
                ADD_FAILURE() << "missing: " << Describe(e);
                continue;
            }
            taken[best] = true;
            match[i] = &controls[best];
        }
    }
    for (size_t j = 0; j < controls.size(); ++j)
        if (!taken[j]) ADD_FAILURE() << "a control the layout does not have: " << Describe(controls[j]);
    return match;
}

// The dropped-down height of a combo box in dialog units. Wine reports the list part alone where
// Windows reports the list with the closed box; either reading is accepted.
bool DroppedHeightMatches(const Control& c, int expectedDu, BaseUnits units, int* actualDu) {
    const int dropped = DroppedHeightPx(c.hwnd);
    const int closed = c.px.bottom - c.px.top;
    const int whole = MulDiv(dropped, 8, units.y), withBox = MulDiv(dropped + closed, 8, units.y);
    *actualDu = std::abs(whole - expectedDu) <= std::abs(withBox - expectedDu) ? whole : withBox;
    return std::abs(*actualDu - expectedDu) <= 2;
}

void CheckGeometry(const Expected& e, const Control& c, BaseUnits units) {
    if (e.kind == Kind::Combo) {
        EXPECT_NEAR(c.x, e.x, 1) << Describe(e) << ": x";
        EXPECT_NEAR(c.y, e.y, 1) << Describe(e) << ": y";
        EXPECT_NEAR(c.w, e.w, 1) << Describe(e) << ": width";
        int dropped = 0;
        EXPECT_TRUE(DroppedHeightMatches(c, e.h, units, &dropped))
            << Describe(e) << ": dropped-down height " << dropped << " du, expected " << e.h;
        return;
    }
    if (e.kind == Kind::Picture && e.bitmapPx.cx &&
        c.px.right - c.px.left == e.bitmapPx.cx && c.px.bottom - c.px.top == e.bitmapPx.cy) {
        // A bitmap static takes its bitmap's size; its place is still the template's.
        EXPECT_NEAR(c.x, e.x, 1) << Describe(e) << ": x";
        EXPECT_NEAR(c.y, e.y, 1) << Describe(e) << ": y";
        return;
    }
    EXPECT_NEAR(c.x, e.x, 1) << Describe(e) << ": x";
    EXPECT_NEAR(c.y, e.y, 1) << Describe(e) << ": y";
    if (e.w != kAny) {
        const int w = Korean() && e.koW ? e.koW : e.w;
        EXPECT_NEAR(c.w, w, e.wTolerance) << Describe(e) << ": width";
    }
    if (e.h != kAny) {
        EXPECT_NEAR(c.h, e.h, 1) << Describe(e) << ": height";
    }
}

// Checks one page against its layout. The Korean Information page moves controls by amounts the
// layout does not give, so its geometry is not checked; the Korean Setting page keeps the places.
void CheckPage(HWND page, const std::vector<Expected>& layout, bool koreanGeometry) {
    const bool geometry = !Korean() || koreanGeometry;
    const BaseUnits units = MeasureBaseUnits("MS Sans Serif", 8);
    ASSERT_GT(units.x, 0);
    ASSERT_GT(units.y, 0);
    const std::vector<Control> controls = PageControls(page, units);
    if (GetEnvironmentVariableA("E2E_DUMP", nullptr, 0)) {
        // What the page holds, for working out a failure by eye.
        printf("base units %d x %d\n", units.x, units.y);
        for (const Control& c : controls) {
            if (KindOf(c) == Kind::Combo) printf("  dropped height %d px\n", DroppedHeightPx(c.hwnd));
            printf("  %s style 0x%08lx px %ld,%ld,%ld,%ld\n", Describe(c).c_str(), c.style, c.px.left, c.px.top,
                   c.px.right - c.px.left, c.px.bottom - c.px.top);
        }
    }
    if (!Korean()) {
        // The sheet sizes its page area with its own font; under a Korean locale that font is
        // taller than the pages' and Wine stretches the pages to fill the area, so only the English
        // run can tell the template's size.
        const SIZE size = ClientSizeDu(page, units);
        EXPECT_NEAR(size.cx, 239, 1) << "page width in dialog units";
        EXPECT_NEAR(size.cy, 221, 1) << "page height in dialog units";
    }
    const std::vector<const Control*> match = MatchControls(layout, controls);
    for (size_t i = 0; i < layout.size(); ++i) {
        const Expected& e = layout[i];
        const Control* c = match[i];
        if (!c) continue;
        SCOPED_TRACE(Describe(e));
        EXPECT_EQ(KindOf(*c), e.kind) << "found instead: " << Describe(*c);
        EXPECT_TRUE(c->visible) << "not visible";
        const char* text = Korean() ? e.ko : e.en;
        if (text) {
            EXPECT_TRUE(TextMatches(e, c->text))
                << "text \"" << Utf8(c->text) << "\", expected \"" << text << "\""
                << (e.enIsPart && !Korean() ? " within it" : "");
        }
        if (e.styleMask) {
            EXPECT_EQ(c->style & e.styleMask, e.styleBits) << "style 0x" << std::hex << c->style;
        }
        if (geometry) CheckGeometry(e, *c, units);
    }
}

std::string Shot(const char* page) { return std::string(Korean() ? "ko-" : "en-") + page; }

TEST_F(PanelTest, InformationPageShowsItsTemplate) {
    HWND sheet = Open();
    ASSERT_TRUE(sheet);
    ASSERT_EQ(CurrentPageIndex(sheet), 0);
    std::string why;
    EXPECT_TRUE(SaveScreenshot(sheet, Shot("information").c_str(), &why)) << why;
    CheckPage(CurrentPage(sheet), InformationLayout(), false);
}

TEST_F(PanelTest, SettingPageShowsItsTemplate) {
    HWND sheet = Open();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(SelectPage(sheet, 1)) << "the Setting page did not become current";
    std::string why;
    EXPECT_TRUE(SaveScreenshot(sheet, Shot("setting").c_str(), &why)) << why;
    CheckPage(CurrentPage(sheet), SettingLayout(), true);
}

TEST_F(PanelTest, SettingListsHoldTheirEntriesInOrder) {
    HWND sheet = Open();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(SelectPage(sheet, 1));
    HWND page = CurrentPage(sheet);
    HWND irq = GetDlgItem(page, 1010);
    HWND port = GetDlgItem(page, 1011);
    ASSERT_TRUE(irq);
    ASSERT_TRUE(port);
    EXPECT_EQ(ComboEntries(irq), (std::vector<std::string>{"5", "7", "9", "10", "11", "12"}));
    EXPECT_EQ(ComboEntries(port), (std::vector<std::string>{"330", "340", "350", "360", "370", "390"}));
}

}  // namespace
}  // namespace e2e
