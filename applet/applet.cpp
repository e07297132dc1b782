// The Control Panel item of the card: opens the panel when the card is in the machine.
#include <windows.h>
#include <cpl.h>

#include "applet_resource.h"
#include "card_present.h"

namespace {

// The panel is found by the platform's executable search; it refuses a second copy by itself.
const char PanelCommand[] = "Orrivan.exe";
const char MissingCardText[] = "Zentaro not found!";
const char MissingCardCaption[] = "Warning !!!";

void OpenPanel() {
    if (CardPresent())
        WinExec(PanelCommand, SW_SHOWDEFAULT);
    else
        MessageBoxA(nullptr, MissingCardText, MissingCardCaption, MB_OK | MB_ICONWARNING);
}

}  // namespace

extern "C" __declspec(dllexport) LONG APIENTRY CPlApplet(HWND, UINT message, LPARAM, LPARAM lParam2) {
    switch (message) {
    case CPL_INIT:
        return 1;
    case CPL_GETCOUNT:
        return 1;
    case CPL_INQUIRE: {
        CPLINFO* info = reinterpret_cast<CPLINFO*>(lParam2);
        if (!info) return 0;  // a host's null record must not bring the host down
        info->idIcon = IDI_APPLET;
        info->idName = IDS_APPLET_NAME;
        info->idInfo = IDS_APPLET_INFO;
        info->lData = 0;
        return 0;
    }
    case CPL_DBLCLK:
        OpenPanel();
        return 0;
    default:
        return 0;
    }
}

// The library keeps no state: nothing to set up or tear down for any attach or detach.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
