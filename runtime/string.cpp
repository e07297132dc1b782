// The memory and string functions of the C library that the deliverables call, or that the
// compiler calls on its own (block copies and clears). Built with -fno-builtin so that these loops
// are not turned back into calls of themselves.
#include <stddef.h>
#include <string.h>

extern "C" {

void* memcpy(void* target, const void* source, size_t count) {
    unsigned char* t = static_cast<unsigned char*>(target);
    const unsigned char* s = static_cast<const unsigned char*>(source);
    while (count--) *t++ = *s++;
    return target;
}

void* memmove(void* target, const void* source, size_t count) {
    unsigned char* t = static_cast<unsigned char*>(target);
    const unsigned char* s = static_cast<const unsigned char*>(source);
    if (t < s) {
        while (count--) *t++ = *s++;
    } else {
        while (count--) t[count] = s[count];
    }
    return target;
}

void* memset(void* target, int value, size_t count) {
    unsigned char* t = static_cast<unsigned char*>(target);
    while (count--) *t++ = static_cast<unsigned char>(value);
    return target;
}

int memcmp(const void* a, const void* b, size_t count) {
    const unsigned char* x = static_cast<const unsigned char*>(a);
    const unsigned char* y = static_cast<const unsigned char*>(b);
    for (; count; --count, ++x, ++y)
        if (*x != *y) return *x - *y;
    return 0;
}

void* memchr(const void* block, int value, size_t count) {
    const unsigned char* p = static_cast<const unsigned char*>(block);
    for (; count; --count, ++p)
        if (*p == static_cast<unsigned char>(value)) return const_cast<unsigned char*>(p);
    return nullptr;
}

size_t strlen(const char* text) {
    const char* p = text;
    while (*p) ++p;
    return static_cast<size_t>(p - text);
}

int strcmp(const char* a, const char* b) {
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
    while (*x && *x == *y) ++x, ++y;
    return *x - *y;
}

char* strcpy(char* target, const char* source) {
    char* t = target;
    while ((*t++ = *source++)) {}
    return target;
}

char* strchr(const char* text, int ch) {
    for (;; ++text) {
        if (*text == static_cast<char>(ch)) return const_cast<char*>(text);
        if (!*text) return nullptr;
    }
}

char* strrchr(const char* text, int ch) {
    const char* found = nullptr;
    for (;; ++text) {
        if (*text == static_cast<char>(ch)) found = text;
        if (!*text) return const_cast<char*>(found);
    }
}

char* strpbrk(const char* text, const char* set) {
    for (; *text; ++text)
        if (strchr(set, *text)) return const_cast<char*>(text);
    return nullptr;
}

char* strstr(const char* text, const char* needle) {
    if (!*needle) return const_cast<char*>(text);
    for (; *text; ++text) {
        const char *t = text, *n = needle;
        while (*n && *t == *n) ++t, ++n;
        if (!*n) return const_cast<char*>(text);
    }
    return nullptr;
}

}  // extern "C"
