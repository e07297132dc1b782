#include <windows.h>

#include "text_format.h"

size_t FormatTextV(char* buffer, size_t size, const char* format, va_list args) {
    if (size == 0) return 0;
    // wvsprintfA takes no size: it writes up to its limit and a terminator into the scratch. At the
    // limit its result counts one character more than it wrote, so the terminator tells the length.
    char scratch[FormatTextLimit + 1];
    scratch[0] = '\0';
    wvsprintfA(scratch, format, args);
    scratch[FormatTextLimit] = '\0';
    size_t length = static_cast<size_t>(lstrlenA(scratch));
    if (length > size - 1) length = size - 1;
    CopyMemory(buffer, scratch, length);
    buffer[length] = '\0';
    return length;
}
