// The restart an apply offers when the next boot changed, as Windows 95/98 offers one after a
// change of its own settings.
#pragma once

enum class RestartOffer {
    NotAsked,        // something was not saved, or the next boot does what it did before
    Declined,        // the user answered No
    Restarting,      // Windows is restarting
    RestartRefused,  // the user answered Yes, and Windows did not restart
};

// Asks once, when everything was saved and the next boot changed, and restarts only on Yes. The
// prompt has AskToRestart() (true for Yes) and Restart() (false when Windows refused); the tests'
// prompt fakes both.
template <class Prompt>
RestartOffer OfferRestart(bool allSaved, bool nextBootChanged, Prompt& prompt) {
    // A save that failed has its own message, and its choice is not on the disk to restart into.
    if (!allSaved || !nextBootChanged) return RestartOffer::NotAsked;
    if (!prompt.AskToRestart()) return RestartOffer::Declined;
    return prompt.Restart() ? RestartOffer::Restarting : RestartOffer::RestartRefused;
}

#ifdef _WIN32
#include <windows.h>

// The same with question in a message box owned by owner, under caption, and the real restart
// (restart_win32.cpp).
RestartOffer OfferRestart(HWND owner, const char* question, const char* caption, bool allSaved, bool nextBootChanged);
#endif
