// The formats the deliverables use, checked on whichever FormatText the test binary links: the
// host one natively, user32's wvsprintfA under Wine. Both must give the same texts.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "text_format.h"

namespace text_format_cases {

inline std::string Format(const char* format, ...) {
    char text[FormatTextLimit + 16];
    va_list args;
    va_start(args, format);
    size_t length = FormatTextV(text, sizeof text, format, args);
    va_end(args);
    EXPECT_EQ(length, strlen(text)) << format;
    return text;
}

TEST(TextFormat, GivesTheTextsThePanelUses) {
    const std::string longText(FormatTextLimit + 100, 'x');
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {Format("%3X", 0x330u), "330"},
        {Format("%3X", 0x30u), " 30"},
        {Format("%3X", -1), "FFFFFFFF"},  // an I/O base register of 0 less its indicator bit
        {Format("%2d", 5), " 5"},
        {Format("%2d", 15), "15"},
        {Format("%d", -12), "-12"},
        {Format("%-2s", "5"), "5 "},
        {Format("%-2s", "123"), "123"},
        {Format("%-3s", ""), "   "},
        {Format("%-3s", "340"), "340"},
        {Format("%s\\KESTRO DIRQ=%-2s", "C:\\WINDOWS", "5"), "C:\\WINDOWS\\KESTRO DIRQ=5 "},
        {Format("c:\\autoexec.kn%u", 7u), "c:\\autoexec.kn7"},
        {Format("%d.%d.%d%d", 4, 10, 0, 1), "4.10.01"},
        {Format("%s", ""), ""},
        {Format("%s", longText.c_str()), std::string(FormatTextLimit, 'x')},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, c.expected);
}

TEST(TextFormat, NeverWritesPastTheBuffer) {
    char text[8];
    memset(text, '#', sizeof text);
    EXPECT_EQ(FormatText(text, 4, "%s", "abcdef"), 3u);
    EXPECT_STREQ(text, "abc");
    EXPECT_EQ(text[4], '#');
    EXPECT_EQ(FormatText(text, 1, "%d", 12345), 0u);
    EXPECT_STREQ(text, "");
}

}  // namespace text_format_cases
