#include "settings.h"

// Constructed before the pages exist and destroyed at exit; the applied copy first.
CardSettings AppliedSettings;
CardSettings PendingSettings;
CString IniPath;
CString InstallPath;
