// Reads the initial contents of a dialog's list controls (format in dlginit_format.h).
#pragma once
#include <stddef.h>

#include "dlginit_format.h"

struct DlgInitRecord {
    unsigned controlId;
    unsigned message;    // DLGINIT_LB_ADDSTRING or DLGINIT_CB_ADDSTRING
    const char* text;    // NUL-terminated inside the resource
};

typedef void (*DlgInitVisitor)(const DlgInitRecord& record, void* context);

// Visits each record of the packed data in order, up to its 0 WORD or, without one, its end; a
// record whose text lacks its NUL, or runs past the end, is not visited, nor one of another
// message. Returns the number of records visited.
size_t ParseDlgInit(const unsigned char* data, size_t size, DlgInitVisitor visit, void* context);
