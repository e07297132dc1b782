// Static constructors and destructors of a deliverable that has no C runtime.
#pragma once

// Runs the constructors the compiler listed in .ctors, in the order the toolchain's own start-up
// runs them (last listed first).
void RunStaticConstructors();
// Runs the destructors registered through atexit so far, the last registered first; each once.
void RunStaticDestructors();
