#include "mbcs.h"
#include "lead_bytes.h"

#include <gtest/gtest.h>

#include <string>

struct UpperCase {
    const char* input;
    const char* expected;
    LeadBytePredicate lead;
};

TEST(UpperCaseAnsi, ChangesOnlyAsciiLettersAndKeepsTrailBytes) {
    const UpperCase cases[] = {
        {"c:\\kestro\\util", "C:\\KESTRO\\UTIL", IsCp949LeadByte},
        {"set temp=c:\\temp\r\n", "SET TEMP=C:\\TEMP\r\n", IsCp949LeadByte},
        // 0xB0 0x61 is one double-byte character: its trail byte 'a' must stay.
        {"\xB0" "a" "b", "\xB0" "aB", IsCp949LeadByte},
        {"\x81z\x81z", "\x81z\x81z", IsCp949LeadByte},
        // Without lead bytes the same bytes are single characters.
        {"\xB0" "ab", "\xB0" "AB", IsNeverLeadByte},
        // A lone lead byte at the end does not run past the terminator.
        {"ab\xB0", "AB\xB0", IsCp949LeadByte},
        {"\xE9\xE0", "\xE9\xE0", IsNeverLeadByte},
        {"", "", IsCp949LeadByte},
    };
    for (const UpperCase& c : cases) {
        std::string text = c.input;
        UpperCaseAnsi(text.data(), c.lead);
        EXPECT_EQ(text, c.expected) << "input: " << c.input;
    }
}
