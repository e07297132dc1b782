#include "filedialog_text.h"

CString MakeFileDialogFilter(const char* filter, bool (*isLeadByte)(unsigned char)) {
    CString result;
    if (!filter || !*filter) return result;
    bool endsWithSeparator = false;
    for (const char* p = filter; *p;) {
        unsigned char byte = static_cast<unsigned char>(*p);
        endsWithSeparator = false;
        if (isLeadByte(byte) && p[1]) {
            result += p[0];
            result += p[1];
            p += 2;
        } else if (*p == '|') {
            result += '\0';
            endsWithSeparator = true;
            ++p;
        } else {
            result += *p++;
        }
    }
    // The list ends in NUL NUL: one from the last separator, one from the terminator.
    if (!endsWithSeparator) result += '\0';
    return result;
}

size_t FileNameOffset(const char* path, bool (*isLeadByte)(unsigned char)) {
    size_t offset = 0;
    if (!path) return offset;
    for (size_t i = 0; path[i];) {
        unsigned char byte = static_cast<unsigned char>(path[i]);
        if (isLeadByte(byte) && path[i + 1]) {
            i += 2;
            continue;
        }
        ++i;
        if (byte == '\\' || byte == '/' || byte == ':') offset = i;
    }
    return offset;
}
