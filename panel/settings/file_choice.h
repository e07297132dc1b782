// The rules of the Setting page that need no window: where a chosen file's directory ends, the path
// a Browse choice stores, and when the card's resources replace what the page holds.
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
