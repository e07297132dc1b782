// Formatting of the few conversions the deliverables use: %s, %d, %u and %X, with a width and the
// '-' flag ("%3X", "%2d", "%-2s", "%-3s"). On Windows it is user32's wvsprintfA, which every
// Windows 95 has; natively vsnprintf, so that the portable logic and its tests format alike.
#pragma once
#include <stdarg.h>
#include <stddef.h>

// The longest text one call produces: wvsprintfA writes at most 1024 bytes with the terminator.
const size_t FormatTextLimit = 1023;

// Writes at most size - 1 characters (and never more than FormatTextLimit) and a terminating zero
// to buffer (size > 0); returns the number of characters written.
size_t FormatText(char* buffer, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));
size_t FormatTextV(char* buffer, size_t size, const char* format, va_list args);
