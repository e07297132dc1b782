// Stands in for a program the panel starts: records that it ran, and under which name, in
// C:\e2e\ran.txt, then ends. The file is created unshared and closed when whole: whoever opens it
// reads all of it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH + 1] = {0};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    HANDLE f = CreateFileA("C:\\e2e\\ran.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(f, path, length, &written, nullptr);
    CloseHandle(f);
    return 0;
}
