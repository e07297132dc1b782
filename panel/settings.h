// The panel's six settings, their two global copies and the two global paths.
#pragma once
#include "cstring.h"

struct CardSettings {
    CString irq;             // "%2d" from the probe, or an entry of the interrupt list
    CString port;            // "%3X" from the probe, or an entry of the address list
    CString autoCheck;       // "1" or "0"
    CString firmwarePath;
    CString masterBankPath;
    CString slaveBankPath;
};

extern CardSettings AppliedSettings;  // what was last loaded or applied
extern CardSettings PendingSettings;  // the Setting page's edits until they are applied
extern CString IniPath;
extern CString InstallPath;
