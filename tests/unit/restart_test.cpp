#include "restart.h"

#include <gtest/gtest.h>

namespace {

// The restart goes through a fake: never without a Yes, and the question only after a complete
// save that changed the next boot.
TEST(Restart, RestartIsOfferedOnlyForAChangedNextBootAndDoneOnlyOnYes) {
    struct Prompt {
        bool yes = false, restarts = false;
        int asked = 0, restarted = 0;
        bool AskToRestart() { return ++asked, yes; }
        bool Restart() { return ++restarted, restarts; }
    };
    const struct {
        bool allSaved, changed, yes, restarts;
        RestartOffer offer;
        int asked, restarted;
    } cases[] = {
        {true, true, true, true, RestartOffer::Restarting, 1, 1},
        {true, true, true, false, RestartOffer::RestartRefused, 1, 1},
        {true, true, false, true, RestartOffer::Declined, 1, 0},
        {true, false, true, true, RestartOffer::NotAsked, 0, 0},
        {false, true, true, true, RestartOffer::NotAsked, 0, 0},
    };
    for (const auto& c : cases) {
        Prompt prompt;
        prompt.yes = c.yes;
        prompt.restarts = c.restarts;
        EXPECT_EQ(OfferRestart(c.allSaved, c.changed, prompt), c.offer);
        EXPECT_EQ(prompt.asked, c.asked);
        EXPECT_EQ(prompt.restarted, c.restarted);
    }
}

}  // namespace
