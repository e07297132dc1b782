// Initial contents of a dialog's list controls, as resource type 240 stores them.
#pragma once
#include <stddef.h>

const unsigned DlgInitResourceType = 240;
const unsigned DlgInitLbAddString = 0x0401;  // the 16-bit LB_ADDSTRING
const unsigned DlgInitCbAddString = 0x0403;  // the 16-bit CB_ADDSTRING

struct DlgInitRecord {
    unsigned controlId;
    unsigned message;    // DlgInitLbAddString or DlgInitCbAddString
    const char* text;    // NUL-terminated inside the resource
};

typedef void (*DlgInitVisitor)(const DlgInitRecord& record, void* context);

// Visits each record of the packed data (WORD id, WORD message, DWORD length, length bytes; a 0
// WORD ends it). Stops at the end of the data even without the 0 WORD; a record whose text lacks
// its NUL, or runs past the end, is not visited. Returns the number of records visited.
size_t ParseDlgInit(const unsigned char* data, size_t size, DlgInitVisitor visit, void* context);
