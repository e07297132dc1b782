// Memory from the process heap, for the C and C++ allocation calls the deliverables make.
#include <windows.h>

#include <stdlib.h>

extern "C" {

void* malloc(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size ? size : 1); }

void* calloc(size_t count, size_t size) {
    if (size && count > static_cast<size_t>(-1) / size) return nullptr;
    size_t bytes = count * size;
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes ? bytes : 1);
}

void free(void* block) {
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

void* realloc(void* block, size_t size) {
    if (!block) return malloc(size);
    return HeapReAlloc(GetProcessHeap(), 0, block, size ? size : 1);
}

// Out of memory or a broken invariant: end the process at once, as the C runtime's abort does.
void abort() { ExitProcess(3); }

// A call of a pure virtual function through a half-built or half-destroyed object.
void __cxa_pure_virtual() { abort(); }

}  // extern "C"

// Without exceptions a failed allocation cannot be reported: end as abort does.
void* operator new(size_t size) {
    void* block = malloc(size);
    if (!block) abort();
    return block;
}
void operator delete(void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }
