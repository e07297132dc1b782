// The x86 port instructions behind a configuration read on Windows 95/98 (Windows build only).
#pragma once
#include <stdint.h>

// One `out dx, eax`. Where the system traps the instruction, nothing is written.
void PortOut32(uint16_t port, uint32_t value);

// One `in eax, dx`. Where the system traps the instruction, the result is 0xFFFFFFFF.
uint32_t PortIn32(uint16_t port);
