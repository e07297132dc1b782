// The process entry of the panel: what the C runtime's start-up would do, and nothing more.
#include <windows.h>

#include "static_init.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

namespace {

// The command line without the program's name (quoted or not) and the blanks after it.
char* CommandTail() {
    char* p = GetCommandLineA();
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

int StartupShowCommand() {
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace

extern "C" void __stdcall ProgramEntry() {
    RunStaticConstructors();
    int exitCode = WinMain(GetModuleHandleA(nullptr), nullptr, CommandTail(), StartupShowCommand());
    RunStaticDestructors();
    ExitProcess(static_cast<UINT>(exitCode));
}
