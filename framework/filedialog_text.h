// Text helpers of the file dialog that need no Win32: the filter format and the file-name split.
#pragma once
#include "cstring.h"

// Turns "Text Files (*.txt)|*.txt|All (*.*)|*.*|" into the dialog's form "Text Files (*.txt)\0*.txt\0
// All (*.*)\0*.*\0\0": every '|' becomes a NUL and the list ends with two NULs (the second is the
// string's own terminator), also when the last '|' is missing. isLeadByte keeps a double-byte
// character whose second byte is '|' whole. An empty filter gives an empty result (no filter).
CString MakeFileDialogFilter(const char* filter, bool (*isLeadByte)(unsigned char));

// Offset of the file name in path: just after the last '\\' (or '/', or a drive's ':') that is not
// the second byte of a double-byte character; 0 when there is none.
size_t FileNameOffset(const char* path, bool (*isLeadByte)(unsigned char));
