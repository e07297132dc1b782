#include <windows.h>

#include <gtest/gtest.h>

#include "card_probe.h"

TEST(WineSession, RunsWithoutACard) {
    EXPECT_FALSE(CardProbe(CardProbeMode::FirstMatch).found);
}
