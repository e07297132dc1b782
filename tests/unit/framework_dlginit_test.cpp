#include "dlginit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"

namespace {

struct Seen {
    unsigned id;
    unsigned message;
    std::string text;
};

void Collect(const DlgInitRecord& record, void* context) {
    static_cast<std::vector<Seen>*>(context)->push_back({record.controlId, record.message, record.text});
}

// A record's header: control id, message and the length of the data that should follow.
std::string Header(unsigned id, unsigned message, unsigned long length) {
    std::string r;
    r += static_cast<char>(id & 0xFF);
    r += static_cast<char>(id >> 8);
    r += static_cast<char>(message & 0xFF);
    r += static_cast<char>(message >> 8);
    for (int i = 0; i < 4; ++i) r += static_cast<char>((length >> (8 * i)) & 0xFF);
    return r;
}

std::string Record(unsigned id, unsigned message, const std::string& data) {
    return Header(id, message, data.size()) + data;
}

std::vector<Seen> Parse(const std::string& bytes) {
    std::vector<Seen> seen;
    ParseDlgInit(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), Collect, &seen);
    return seen;
}

TEST(DlgInit, VisitsRecordsInOrderUntilTheTerminator) {
    std::string data = Record(IDC_IRQ, DLGINIT_CB_ADDSTRING, std::string("5", 2)) +
                       Record(IDC_IRQ, DLGINIT_CB_ADDSTRING, std::string("10", 3)) +
                       Record(IDC_PORT, DLGINIT_LB_ADDSTRING, std::string("330", 4)) + std::string(2, '\0') +
                       Record(IDC_AUTODETECT, DLGINIT_CB_ADDSTRING, std::string("after", 6));
    std::vector<Seen> seen = Parse(data);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].id, static_cast<unsigned>(IDC_IRQ));
    EXPECT_EQ(seen[0].text, "5");
    EXPECT_EQ(seen[1].text, "10");
    EXPECT_EQ(seen[2].id, static_cast<unsigned>(IDC_PORT));
    EXPECT_EQ(seen[2].message, static_cast<unsigned>(DLGINIT_LB_ADDSTRING));
    EXPECT_EQ(seen[2].text, "330");
}

TEST(DlgInit, DamagedDataNeverReadsPastTheEnd) {
    const std::string good = Record(IDC_IRQ, DLGINIT_CB_ADDSTRING, std::string("7", 2));
    const struct { const char* name; std::string bytes; size_t expected; } cases[] = {
        {"empty", "", 0},
        {"no terminator", good, 1},
        {"half a header", good + Header(IDC_IRQ, DLGINIT_CB_ADDSTRING, 0).substr(0, 3), 1},
        {"length past the end", good + Header(IDC_IRQ, DLGINIT_CB_ADDSTRING, 2) + "9", 1},
        {"text without NUL", Record(IDC_IRQ, DLGINIT_CB_ADDSTRING, "12") + good, 1},
        {"unknown message", Record(IDC_IRQ, 0x1234, std::string("x", 2)) + good, 1},
        {"huge length", good + Header(IDC_IRQ, DLGINIT_CB_ADDSTRING, 0xFFFFFFFFul), 1},
    };
    for (const auto& c : cases) {
        // A copy of exactly the given size, so ASan sees any read past it.
        std::vector<unsigned char> exact(c.bytes.begin(), c.bytes.end());
        std::vector<Seen> seen;
        EXPECT_EQ(ParseDlgInit(exact.data(), exact.size(), Collect, &seen), c.expected) << c.name;
    }
}

}  // namespace
