// Host build: the dump file through the C library.
#include <stdio.h>

#include "pci_dump.h"

namespace {

int NextFileByte(void* source) {
    int c = getc(static_cast<FILE*>(source));
    return c == EOF ? PciDumpEnd : c;
}

}  // namespace

bool PciDumpFindInFile(const char* path, uint32_t address, uint32_t* value) {
    FILE* file = fopen(path, "rb");
    if (file == nullptr) return false;
    *value = PciDumpFind(NextFileByte, file, address);
    fclose(file);
    return true;
}
