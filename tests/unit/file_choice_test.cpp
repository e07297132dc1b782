#include "file_choice.h"
#include "lead_bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FileChoice, DirectoryEndsBeforeTheLastRealBackslash) {
    const struct {
        const char* path;
        LeadBytePredicate lead;
        const char* directory;
    } cases[] = {
        {"C:\\KESTRO\\UTIL\\PELKAD.BIN", IsNeverLeadByte, "C:\\KESTRO\\UTIL"},
        {"c:\\banks\\x.94b", IsNeverLeadByte, "c:\\banks"},  // kept as the dialog returned it
        {"C:\\PELKAD.BIN", IsNeverLeadByte, "C:"},
        {"PELKAD.BIN", IsNeverLeadByte, ""},
        {"", IsNeverLeadByte, ""},
        {"\\\\server\\share\\f.bin", IsNeverLeadByte, "\\\\server\\share"},
        // 0x95 0x5C is one code page 949 character whose second byte is a backslash.
        {"C:\\A\x95\\\\B\x95\\.BIN", IsCp949LeadByte, "C:\\A\x95\\"},
        {"C:\\A\x95\\B", IsCp949LeadByte, "C:"},
        // Read as single bytes, the same trail byte is a separator.
        {"C:\\A\x95\\B", IsNeverLeadByte, "C:\\A\x95"},
        // A lone lead byte at the end hides nothing behind it.
        {"C:\\DIR\\\x95", IsCp949LeadByte, "C:\\DIR"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string(DirectoryOfPath(c.path, c.lead).c_str()), c.directory) << c.path;
    EXPECT_EQ(std::string(DirectoryOfPath(nullptr, IsNeverLeadByte).c_str()), "");
}

TEST(FileChoice, ABareDriveOpensAtItsRoot) {
    EXPECT_STREQ(DialogDirectory("C:"), "C:\\");
    EXPECT_STREQ(DialogDirectory("C:\\KESTRO\\UTIL"), "C:\\KESTRO\\UTIL");
    EXPECT_STREQ(DialogDirectory(""), "");
}

TEST(FileChoice, ChosenFileIsJoinedAndUpperCasedWholeCharactersKept) {
    EXPECT_STREQ(ChosenFileSetting("c:\\banks", "torbel08.94b", IsNeverLeadByte), "C:\\BANKS\\TORBEL08.94B");
    // The trail byte 0x61 ('a') of a code page 949 character stays as it is.
    EXPECT_STREQ(ChosenFileSetting("c:\\\xB0\x61", "f.bin", IsCp949LeadByte), "C:\\\xB0\x61\\F.BIN");
    // A percent sign in a name is a character, not a format.
    EXPECT_STREQ(ChosenFileSetting("c:\\100%s", "%d.bin", IsNeverLeadByte), "C:\\100%S\\%D.BIN");
    // Longer than any fixed buffer: nothing is cut.
    const std::string longDir = "c:\\" + std::string(300, 'd');
    EXPECT_EQ(ChosenFileSetting(longDir.c_str(), "f.bin", IsNeverLeadByte).GetLength(), longDir.size() + 6);
}

TEST(FileChoice, OnlyTextsOfAtMost255CharactersFitTheStores) {
    EXPECT_TRUE(FitsSettingText(CString(std::string(255, 'x').c_str())));
    EXPECT_FALSE(FitsSettingText(CString(std::string(256, 'x').c_str())));
    EXPECT_TRUE(FitsSettingText(CString()));
}

TEST(FileChoice, OnlyAnEmptyFieldTakesTheCardsText) {
    const struct {
        const char* field;
        const char* probe;
        const char* result;
    } cases[] = {
        {"", "10", "10"},
        {"", " 5", " 5"},    // the probe's form, leading blank and all
        {"10", "10", "10"},
        {"11", "10", "11"},  // applied by the user: the card's value does not override it
        {"5", " 5", "5"},
        {"330", "340", "330"},
    };
    for (const auto& c : cases) {
        CString field(c.field);
        AdoptProbeText(field, c.probe);
        EXPECT_STREQ(field, c.result) << "field \"" << c.field << "\", probe \"" << c.probe << "\"";
    }
}

}  // namespace
