// Code pages for the tests: the lead bytes of code page 949 (Unified Hangul Code), and a
// single-byte code page's none. On Windows the panel asks the system instead (AfxIsLeadByte).
#pragma once

inline bool IsCp949LeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
inline bool IsNeverLeadByte(unsigned char) { return false; }
