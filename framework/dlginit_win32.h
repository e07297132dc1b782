// Applies a dialog's list data (dlginit_format.h) to its controls.
#pragma once
#include <windows.h>

// Adds the entries that resource (type RES_DLGINIT, id templateId) of module lists to the dialog's list
// controls; false when there is no such resource. Called from a page's initialisation.
bool ExecuteDlgInit(HWND dialog, HINSTANCE module, UINT templateId);
