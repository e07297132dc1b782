// Upper-casing of ANSI code page text that keeps double-byte characters whole.
#pragma once

typedef bool (*LeadBytePredicate)(unsigned char byte);

// Lead bytes of code page 949 (Unified Hangul Code).
bool IsCp949LeadByte(unsigned char byte);
// No lead bytes at all (single-byte code pages).
bool IsNeverLeadByte(unsigned char byte);

// Turns a-z into A-Z up to the terminating zero; the byte after a lead byte is skipped, so a
// trail byte that happens to equal a lower-case letter is never changed.
void UpperCaseAnsi(char* text, LeadBytePredicate isLeadByte);
