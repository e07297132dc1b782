#include <stdio.h>

#include "text_format.h"

size_t FormatTextV(char* buffer, size_t size, const char* format, va_list args) {
    if (size == 0) return 0;
    if (size > FormatTextLimit + 1) size = FormatTextLimit + 1;
    int needed = vsnprintf(buffer, size, format, args);
    if (needed < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(needed) < size ? static_cast<size_t>(needed) : size - 1;
}
