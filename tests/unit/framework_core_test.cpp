#include <gtest/gtest.h>

#include <string.h>

#include "cmdtarget.h"
#include "filedialog_text.h"

namespace {

bool NoLeadBytes(unsigned char) { return false; }
// Code page 949: lead bytes 0x81 to 0xFE.
bool Cp949LeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// ---- File dialog filter ----------------------------------------------------------------------

struct FilterCase {
    const char* filter;
    const char* expected;  // with its embedded NULs
    size_t expectedLength;  // bytes before the string's own terminator
};

TEST(FrameworkFileDialogFilter, BarsBecomeNulsAndTheListEndsInTwoNuls) {
    const FilterCase cases[] = {
        {"FirmWare File(*.bin)|*.bin|", "FirmWare File(*.bin)\0*.bin\0", 27},
        {"FirmWare File(*.bin)|*.bin", "FirmWare File(*.bin)\0*.bin\0", 27},
        {"A|*.a|B|*.b||", "A\0*.a\0B\0*.b\0\0", 13},
        {"|", "\0", 1},
    };
    for (const FilterCase& c : cases) {
        CString result = MakeFileDialogFilter(c.filter, NoLeadBytes);
        ASSERT_EQ(result.GetLength(), c.expectedLength) << c.filter;
        EXPECT_EQ(memcmp(result.c_str(), c.expected, c.expectedLength), 0) << c.filter;
        EXPECT_EQ(result.c_str()[result.GetLength()], '\0') << "second NUL of the pair";
    }
}

TEST(FrameworkFileDialogFilter, EmptyOrMissingFilterGivesNoFilter) {
    EXPECT_TRUE(MakeFileDialogFilter("", NoLeadBytes).IsEmpty());
    EXPECT_TRUE(MakeFileDialogFilter(nullptr, NoLeadBytes).IsEmpty());
}

TEST(FrameworkFileDialogFilter, DoubleByteCharacterEndingInBarStaysWhole) {
    // 0x95 0x7C: one double-byte character whose second byte is '|'.
    CString result = MakeFileDialogFilter("\x95|x|*.x|", Cp949LeadByte);
    ASSERT_EQ(result.GetLength(), 8u);
    EXPECT_EQ(memcmp(result.c_str(), "\x95|x\0*.x\0", 8), 0);
}

// ---- File name split -------------------------------------------------------------------------

TEST(FrameworkFileName, OffsetIsAfterTheLastSeparator) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\KESTRO\\UTIL\\BANK.94B", "BANK.94B"},
        {"BANK.94B", "BANK.94B"},
        {"C:\\", ""},
        {"C:BANK.94B", "BANK.94B"},
        {"", ""},
        {"c:/banks/gm.94b", "gm.94b"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.path + FileNameOffset(c.path, NoLeadBytes), c.name) << c.path;
    EXPECT_EQ(FileNameOffset(nullptr, NoLeadBytes), 0u);
}

TEST(FrameworkFileName, TrailByteBackslashIsNotASeparator) {
    // "C:\" + 0xB0 0x5C (a double-byte character whose second byte is '\') + ".bin"
    const char* path = "C:\\dir\\\xB0\\.bin";
    EXPECT_STREQ(path + FileNameOffset(path, Cp949LeadByte), "\xB0\\.bin");
    // Read byte-wise, the same path splits inside the character.
    EXPECT_STREQ(path + FileNameOffset(path, NoLeadBytes), ".bin");
    // A lead byte at the very end (cut text) does not run past the terminator.
    EXPECT_STREQ("a\\\xB0" + FileNameOffset("a\\\xB0", Cp949LeadByte), "\xB0");
}

// ---- Message maps ------------------------------------------------------------------------------

class CBasePanel : public CCmdTarget {
    DECLARE_MESSAGE_MAP()
public:
    int baseClicks = 0;
    int sharedInBase = 0;
    void OnBaseClick() { ++baseClicks; }
    void OnSharedInBase() { ++sharedInBase; }
};

class CDerivedPanel : public CBasePanel {
    DECLARE_MESSAGE_MAP()
public:
    int first = 0, second = 0, sharedInDerived = 0;

    void OnFirst() { ++first; }
    void OnSecond() { ++second; }
    void OnSharedInDerived() { ++sharedInDerived; }
};

// Notification codes and control ids of these maps alone.
const unsigned kClicked = 0, kSelChange = 1;
const unsigned kBaseOnly = 10, kDerivedOnly = 20, kInBoth = 30, kInNeither = 99;

BEGIN_MESSAGE_MAP(CBasePanel, CCmdTarget)
    ON_CONTROL(kClicked, kBaseOnly, &CBasePanel::OnBaseClick)
    ON_CONTROL(kClicked, kInBoth, &CBasePanel::OnSharedInBase)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CDerivedPanel, CBasePanel)
    ON_CONTROL(kSelChange, kDerivedOnly, &CDerivedPanel::OnFirst)
    ON_CONTROL(kClicked, kDerivedOnly, &CDerivedPanel::OnSecond)
    ON_CONTROL(kClicked, kInBoth, &CDerivedPanel::OnSharedInDerived)
    ON_CONTROL(kClicked, kDerivedOnly, &CDerivedPanel::OnFirst)  // shadowed by the earlier row
END_MESSAGE_MAP()

TEST(FrameworkMessageMap, LookupMatchesCodeAndIdAndPrefersTheDerivedClass) {
    const MessageMap* map = &CDerivedPanel::messageMap;
    const struct {
        unsigned code, id;
        CmdHandler expected;
    } cases[] = {
        {kSelChange, kDerivedOnly, static_cast<CmdHandler>(&CDerivedPanel::OnFirst)},
        {kClicked, kDerivedOnly, static_cast<CmdHandler>(&CDerivedPanel::OnSecond)},   // first row wins
        {kClicked, kInBoth, static_cast<CmdHandler>(&CDerivedPanel::OnSharedInDerived)},  // derived first
        {kClicked, kBaseOnly, static_cast<CmdHandler>(&CBasePanel::OnBaseClick)},      // from the base map
        {kSelChange, kBaseOnly, nullptr},                                              // code must match
        {kClicked, kInNeither, nullptr},
    };
    for (const auto& c : cases) {
        const MessageMapEntry* entry = FindMessageEntry(map, c.code, c.id);
        if (!c.expected) {
            EXPECT_EQ(entry, nullptr) << c.code << "/" << c.id;
            continue;
        }
        ASSERT_NE(entry, nullptr) << c.code << "/" << c.id;
        EXPECT_TRUE(entry->handler == c.expected) << c.code << "/" << c.id;
    }
    EXPECT_EQ(FindMessageEntry(nullptr, kClicked, kBaseOnly), nullptr);
    EXPECT_EQ(FindMessageEntry(&CBasePanel::messageMap, kSelChange, kDerivedOnly), nullptr);
}

TEST(FrameworkMessageMap, OnCmdMsgRunsTheHandlerOfTheObjectsOwnClass) {
    CDerivedPanel derived;
    CCmdTarget& target = derived;
    EXPECT_TRUE(target.OnCmdMsg(kClicked, kDerivedOnly));
    EXPECT_TRUE(target.OnCmdMsg(kClicked, kBaseOnly));
    EXPECT_TRUE(target.OnCmdMsg(kClicked, kInBoth));
    EXPECT_FALSE(target.OnCmdMsg(kClicked, kInNeither));
    EXPECT_EQ(derived.second, 1);
    EXPECT_EQ(derived.first, 0);
    EXPECT_EQ(derived.baseClicks, 1);
    EXPECT_EQ(derived.sharedInDerived, 1);
    EXPECT_EQ(derived.sharedInBase, 0);

    CBasePanel base;
    EXPECT_TRUE(base.OnCmdMsg(kClicked, kInBoth));
    EXPECT_FALSE(base.OnCmdMsg(kClicked, kDerivedOnly));
    EXPECT_EQ(base.sharedInBase, 1);
}

}  // namespace

#include "afxtime.h"

namespace {

TEST(FrameworkTime, FormatsLocalCalendarFields) {
    const struct {
        CTime time;
        const char* format;
        const char* expected;
    } cases[] = {
        {CTime(1999, 9, 17, 13, 5, 0), "%d/%m/%y", "17/09/99"},
        {CTime(2000, 1, 1), "%d/%m/%y", "01/01/00"},
        {CTime(1998, 12, 31, 23, 59, 58), "%Y-%m-%d %H:%M:%S", "1998-12-31 23:59:58"},
        {CTime(1999, 9, 17), "", ""},
    };
    for (const auto& c : cases) EXPECT_STREQ(c.time.Format(c.format), c.expected) << c.format;
    EXPECT_TRUE(CTime(1999, 9, 17).Format(nullptr).IsEmpty());
}

}  // namespace

#include "../text_format_cases.h"
