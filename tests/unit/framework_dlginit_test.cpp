#include "dlginit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Seen {
    unsigned id;
    unsigned message;
    std::string text;
};

void Collect(const DlgInitRecord& record, void* context) {
    static_cast<std::vector<Seen>*>(context)->push_back({record.controlId, record.message, record.text});
}

std::string Record(unsigned id, unsigned message, const std::string& data) {
    std::string r;
    r += static_cast<char>(id & 0xFF);
    r += static_cast<char>(id >> 8);
    r += static_cast<char>(message & 0xFF);
    r += static_cast<char>(message >> 8);
    size_t n = data.size();
    for (int i = 0; i < 4; ++i) r += static_cast<char>((n >> (8 * i)) & 0xFF);
    return r + data;
}

std::vector<Seen> Parse(const std::string& bytes) {
    std::vector<Seen> seen;
    ParseDlgInit(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), Collect, &seen);
    return seen;
}

TEST(DlgInit, VisitsRecordsInOrderUntilTheTerminator) {
    std::string data = Record(1010, 0x403, std::string("5", 2)) + Record(1010, 0x403, std::string("10", 3)) +
                       Record(1011, 0x401, std::string("330", 4)) + std::string(2, '\0') +
                       Record(1012, 0x403, std::string("after", 6));
    std::vector<Seen> seen = Parse(data);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].id, 1010u);
    EXPECT_EQ(seen[0].text, "5");
    EXPECT_EQ(seen[1].text, "10");
    EXPECT_EQ(seen[2].id, 1011u);
    EXPECT_EQ(seen[2].message, 0x401u);
    EXPECT_EQ(seen[2].text, "330");
}

TEST(DlgInit, DamagedDataNeverReadsPastTheEnd) {
    const std::string good = Record(1010, 0x403, std::string("7", 2));
    const struct { const char* name; std::string bytes; size_t expected; } cases[] = {
        {"empty", "", 0},
        {"no terminator", good, 1},
        {"half a header", good + std::string("\xF2\x03\x03", 3), 1},
        {"length past the end", good + Record(1010, 0x403, "9").substr(0, 8) + "9", 1},
        {"text without NUL", Record(1010, 0x403, "12") + good, 1},
        {"unknown message", Record(1010, 0x1234, std::string("x", 2)) + good, 1},
        {"huge length", good + std::string("\xF2\x03\x03\x04\xFF\xFF\xFF\xFF", 8), 1},
    };
    for (const auto& c : cases) {
        // A copy of exactly the given size, so ASan sees any read past it.
        std::vector<unsigned char> exact(c.bytes.begin(), c.bytes.end());
        std::vector<Seen> seen;
        EXPECT_EQ(ParseDlgInit(exact.data(), exact.size(), Collect, &seen), c.expected) << c.name;
    }
}

}  // namespace
