// The entry of a DLL without the C runtime: static objects live from process attach to detach.
#include <windows.h>

#include "static_init.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

extern "C" BOOL WINAPI LibraryEntry(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) RunStaticConstructors();
    BOOL result = DllMain(instance, reason, reserved);
    if (reason == DLL_PROCESS_DETACH) RunStaticDestructors();
    return result;
}
