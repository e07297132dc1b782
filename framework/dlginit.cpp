#include "dlginit.h"

#include <string.h>

namespace {
unsigned Word(const unsigned char* p) { return p[0] | p[1] << 8; }
unsigned long Dword(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<unsigned long>(p[3]) << 24;
}
}  // namespace

size_t ParseDlgInit(const unsigned char* data, size_t size, DlgInitVisitor visit, void* context) {
    const size_t headerSize = 8;
    size_t visited = 0;
    size_t at = 0;
    while (at + 2 <= size) {
        unsigned id = Word(data + at);
        if (id == 0 || at + headerSize > size) break;
        unsigned message = Word(data + at + 2);
        unsigned long length = Dword(data + at + 4);
        at += headerSize;
        if (length > size - at) break;
        const char* text = reinterpret_cast<const char*>(data + at);
        if (length > 0 && memchr(text, '\0', length) != nullptr &&
            (message == DLGINIT_LB_ADDSTRING || message == DLGINIT_CB_ADDSTRING)) {
            visit(DlgInitRecord{id, message, text}, context);
            ++visited;
        }
        at += length;
    }
    return visited;
}
