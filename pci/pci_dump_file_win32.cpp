// Windows build: the dump file through kernel32, read in blocks.
#include <windows.h>

#include "pci_dump.h"

namespace {

struct DumpFile {
    HANDLE handle;
    DWORD length;
    DWORD position;
    char buffer[4096];
};

int NextFileByte(void* source) {
    DumpFile* file = static_cast<DumpFile*>(source);
    if (file->position == file->length) {
        // A read error ends the dump like its end does: what was not read is not there.
        if (!ReadFile(file->handle, file->buffer, sizeof file->buffer, &file->length, nullptr) ||
            file->length == 0) {
            file->length = file->position = 0;
            return PciDumpEnd;
        }
        file->position = 0;
    }
    return static_cast<unsigned char>(file->buffer[file->position++]);
}

}  // namespace

bool PciDumpFindInFile(const char* path, uint32_t address, uint32_t* value) {
    DumpFile file;
    file.handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file.handle == INVALID_HANDLE_VALUE) return false;
    file.length = file.position = 0;
    *value = PciDumpFind(NextFileByte, &file, address);
    CloseHandle(file.handle);
    return true;
}
