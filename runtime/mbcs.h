// Upper-casing of ANSI code page text that keeps double-byte characters whole.
#pragma once

// Whether a byte leads a double-byte character of the code page in use.
typedef bool (*LeadBytePredicate)(unsigned char byte);

// Turns a-z into A-Z up to the terminating zero; the byte after a lead byte is skipped, so a
// trail byte that happens to equal a lower-case letter is never changed.
void UpperCaseAnsi(char* text, LeadBytePredicate isLeadByte);
