#include "static_init.h"

#include <stdlib.h>

typedef void (*StaticFunction)();

// Laid out by the linker script: -1, the .ctors entries, 0.
extern "C" StaticFunction __CTOR_LIST__[];

namespace {

// GCC registers each global's destructor with atexit from its constructor. A deliverable has a
// few dozen globals at most; registrations beyond the table are refused, as atexit may.
const int MaxExitFunctions = 64;
StaticFunction g_exitFunctions[MaxExitFunctions];
int g_exitCount = 0;

}  // namespace

void RunStaticConstructors() {
    int count = 0;
    while (__CTOR_LIST__[count + 1]) ++count;
    for (int i = count; i >= 1; --i) __CTOR_LIST__[i]();
}

void RunStaticDestructors() {
    while (g_exitCount > 0) g_exitFunctions[--g_exitCount]();
}

extern "C" int atexit(StaticFunction function) {
    if (g_exitCount == MaxExitFunctions) return -1;
    g_exitFunctions[g_exitCount++] = function;
    return 0;
}
