#include <windows.h>
#include <cpl.h>

#include "pci_config.h"

// mingw-w64's DLL start-up always brings a TLS directory, which Windows 95 refuses to load;
// a null callback pointer keeps it out.
extern "C" const PIMAGE_TLS_CALLBACK __dyn_tls_init_callback = nullptr;

extern "C" __declspec(dllexport) LONG APIENTRY CPlApplet(HWND, UINT message, LPARAM, LPARAM) {
    switch (message) {
    case CPL_INIT: return 1;
    case CPL_GETCOUNT: return 1;
    case CPL_DBLCLK: return PciConfigRead(0, 0, 0, 0) == 0 ? 1 : 0;
    default: return 0;
    }
}

// The library keeps no state: nothing to set up or tear down for any attach or detach.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
