#include "card_present.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

// Configuration space of bus 0 as a table of identity dwords; every read is recorded.
std::map<std::pair<unsigned, unsigned>, uint32_t> identities;  // (device, function) -> dword
std::vector<std::pair<unsigned, unsigned>> reads;

uint32_t TableRead(unsigned bus, unsigned device, unsigned function, unsigned reg) {
    reads.push_back({device, function});
    auto it = identities.find({device, function});
    return bus == 0 && reg == 0 && it != identities.end() ? it->second : 0xFFFFFFFFu;
}

struct Machine {
    const char* name;
    std::map<std::pair<unsigned, unsigned>, uint32_t> identities;
    bool present;
};

TEST(CardPresent, NeedsBothFunctionsOnOneDevice) {
    const Machine machines[] = {
        {"empty bus", {}, false},
        {"card at device 9", {{{9, 0}, CardIdFunction0}, {{9, 1}, CardIdFunction1}}, true},
        {"card at device 31", {{{31, 0}, CardIdFunction0}, {{31, 1}, CardIdFunction1}}, true},
        {"function 1 absent", {{{9, 0}, CardIdFunction0}}, false},
        {"function 1 another device", {{{9, 0}, CardIdFunction0}, {{9, 1}, 0x12345678}}, false},
        {"functions on different devices", {{{9, 0}, CardIdFunction0}, {{12, 1}, CardIdFunction1}}, false},
        {"second copy complete", {{{4, 0}, CardIdFunction0}, {{7, 0}, CardIdFunction0}, {{7, 1}, CardIdFunction1}},
         true},
        {"identities swapped", {{{9, 0}, CardIdFunction1}, {{9, 1}, CardIdFunction0}}, false},
    };
    for (const Machine& m : machines) {
        identities = m.identities;
        EXPECT_EQ(CardPresent(TableRead), m.present) << m.name;
    }
}

TEST(CardPresent, ReadsFunctionOneOnlyBehindAMatchAndStopsAtTheCard) {
    identities = {{{3, 0}, CardIdFunction0}, {{5, 0}, CardIdFunction0}, {{5, 1}, CardIdFunction1}};
    reads.clear();
    EXPECT_TRUE(CardPresent(TableRead));
    const std::vector<std::pair<unsigned, unsigned>> expected = {
        {0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {4, 0}, {5, 0}, {5, 1}};
    EXPECT_EQ(reads, expected);

    identities.clear();
    reads.clear();
    EXPECT_FALSE(CardPresent(TableRead));
    ASSERT_EQ(reads.size(), 32u) << "devices 0 to 31 of bus 0, function 0 only";
    EXPECT_EQ(reads.back(), std::make_pair(31u, 0u));
}

}  // namespace
