#include "text_format.h"

size_t FormatText(char* buffer, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    size_t length = FormatTextV(buffer, size, format, args);
    va_end(args);
    return length;
}
