#include "mbcs.h"

void UpperCaseAnsi(char* text, LeadBytePredicate isLeadByte) {
    for (unsigned char* p = reinterpret_cast<unsigned char*>(text); *p; ++p) {
        if (isLeadByte(*p)) {
            if (!p[1]) break;  // a lone lead byte at the end: nothing follows to protect
            ++p;
        } else if (*p >= 'a' && *p <= 'z') {
            *p = static_cast<unsigned char>(*p - 'a' + 'A');
        }
    }
}
