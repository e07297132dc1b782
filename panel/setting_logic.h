// The rules of the Setting page that need no window: where a chosen file's directory ends, the path
// a Browse choice stores, when the card's resources replace what the page holds, and when an apply
// offers to restart.
#pragma once
#include "cstring.h"
#include "mbcs.h"

// Everything before the last backslash of path (a trail byte equal to '\\' is not one); empty when
// there is none.
CString DirectoryOfPath(const char* path, LeadBytePredicate isLeadByte);

// The directory to open a file dialog in: a bare drive ("C:", left by a file chosen in the root)
// means that drive's current directory to the dialog, so its root is named instead.
CString DialogDirectory(const CString& directory);

// The field a Browse choice stores: "<directory>\<file>", upper-cased with double-byte characters
// kept whole.
CString ChosenFileSetting(const char* directory, const char* file, LeadBytePredicate isLeadByte);

// True when the text comes back whole through the 256-byte buffers the settings are loaded with.
bool FitsSettingText(const CString& text);

// An empty field takes the card's text; a field that already holds a value (taken earlier or
// applied by the user) keeps it.
void AdoptProbeText(CString& field, const char* probeText);

enum class RestartOffer {
    NotAsked,        // something was not saved, or the next boot does what it did before
    Declined,        // the user answered No
    Restarting,      // Windows is restarting
    RestartRefused,  // the user answered Yes, and Windows did not restart
};

// After an apply that changed what the next boot does: asks once, as Windows does when a change
// waits for a restart, when everything was saved and the next boot changed, and restarts only on
// Yes. The Setting page's prompt has AskToRestart() (true for Yes, in the user's language) and
// Restart() (false when Windows refused); the tests' prompt fakes both.
template <class Prompt>
RestartOffer OfferRestart(bool allSaved, bool nextBootChanged, Prompt& prompt) {
    // A save that failed has its own message, and its choice is not on the disk to restart into.
    if (!allSaved || !nextBootChanged) return RestartOffer::NotAsked;
    if (!prompt.AskToRestart()) return RestartOffer::Declined;
    return prompt.Restart() ? RestartOffer::Restarting : RestartOffer::RestartRefused;
}

// Windows: restarts the computer (restart_win32.cpp); false when Windows refused.
bool RestartWindows();
