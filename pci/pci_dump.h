// Configuration dwords served from a text dump in the form `lspci -x` (or -xxx) prints:
//
//   00:09.0 Multimedia audio controller: ...        header: [DDDD:]BB:DD.F and a description
//   00: 8e 12 09 00 05 00 80 02 01 00 01 04 00 40 80 00
//   10: 31 03 00 00 ...                              sixteen bytes at the offset before the colon
//
// A dword is its four bytes, little-endian; the register's bits 1-0 are ignored, as the hardware
// does. Anything the dump does not hold reads 0xFFFFFFFF. Functions in a domain other than 0 are
// ignored (the ports only reach domain 0). Malformed lines are skipped. Every other line that
// starts in column 0 and is no hex line opens a new function, and one that is no valid header
// opens none, so garbage never lends the hex lines below it to the function above it. When a
// function or offset appears twice, the first occurrence wins. The file is read through the
// platform's own file functions (pci_dump_file_*.cpp): the deliverables have no C runtime.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Looks up the dword that `address` (a PciConfigAddress value) selects in dump text.
uint32_t PciDumpFindInText(const char* text, uint32_t address);

// The next byte of a dump (0-255), or PciDumpEnd.
const int PciDumpEnd = -1;
typedef int (*PciDumpNextByte)(void* source);

// The same from any byte source; what the text and file forms share.
uint32_t PciDumpFind(PciDumpNextByte next, void* source, uint32_t address);

// The same from a dump file that is read afresh on every call. False (and *value untouched) when
// the file cannot be opened; true otherwise, with 0xFFFFFFFF for what the dump lacks.
bool PciDumpFindInFile(const char* path, uint32_t address, uint32_t* value);
