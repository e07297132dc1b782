// The two port instructions, each guarded by a frame-based exception handler registered by hand
// through fs:[0]: vectored handlers do not exist on Windows 95, and GCC has no __try for i386.
// Where the system traps the instruction (NT-family Windows, Wine), the handler skips it, so the
// read finds nothing instead of ending the process.
#include "pci_ports_x86.h"

#include <windows.h>
#include <excpt.h>

namespace {

// One-byte encodings of the only two instructions the guarded ranges contain.
const unsigned char OutDxEax = 0xEF;
const unsigned char InEaxDx = 0xED;

EXCEPTION_DISPOSITION __cdecl PortTrapHandler(EXCEPTION_RECORD* record, void*, CONTEXT* context,
                                              void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    if (record->ExceptionCode != EXCEPTION_PRIV_INSTRUCTION &&
        record->ExceptionCode != EXCEPTION_ACCESS_VIOLATION)
        return ExceptionContinueSearch;
    const unsigned char instruction = *reinterpret_cast<const unsigned char*>(context->Eip);
    if (instruction == InEaxDx)
        context->Eax = 0xFFFFFFFF;
    else if (instruction != OutDxEax)
        return ExceptionContinueSearch;
    context->Eip += 1;
    return ExceptionContinueExecution;
}

typedef EXCEPTION_DISPOSITION(__cdecl* TrapHandler)(EXCEPTION_RECORD*, void*, CONTEXT*, void*);

}  // namespace

// Each asm block pushes an EXCEPTION_REGISTRATION {next, handler} onto the stack, makes it the head
// of the thread's handler chain, runs the single instruction and unlinks the record again; the
// stack pointer is back where it was when the block ends.
void PortOut32(uint16_t port, uint32_t value) {
    TrapHandler handler = PortTrapHandler;
    asm volatile(
        "pushl %2\n\t"
        "pushl %%fs:0\n\t"
        "movl %%esp, %%fs:0\n\t"
        "outl %%eax, %%dx\n\t"
        "popl %%fs:0\n\t"
        "addl $4, %%esp"
        :
        : "a"(value), "d"(port), "c"(handler)
        : "memory", "cc");
}

uint32_t PortIn32(uint16_t port) {
    TrapHandler handler = PortTrapHandler;
    uint32_t value;
    asm volatile(
        "pushl %2\n\t"
        "pushl %%fs:0\n\t"
        "movl %%esp, %%fs:0\n\t"
        "inl %%dx, %%eax\n\t"
        "popl %%fs:0\n\t"
        "addl $4, %%esp"
        : "=a"(value)
        : "d"(port), "c"(handler)
        : "memory", "cc");
    return value;
}
