// The initial contents of a dialog's list controls: a resource of type RES_DLGINIT with the
// dialog's id. Only #defines, so that resource scripts include it as well as the C++ code.
// Layout, packed, little-endian:
//   repeated:  WORD control id, WORD message, DWORD n, n bytes of data
//   end:       WORD 0
// The message is a 16-bit-era code: DLGINIT_CB_ADDSTRING means CB_ADDSTRING with the data as the
// string (its n bytes include the terminating NUL; records are not aligned); DLGINIT_LB_ADDSTRING
// means LB_ADDSTRING likewise. A reader must stop at the end of the resource even without the
// final 0, and skip a record whose string lacks its NUL.
#ifndef DLGINIT_FORMAT_H
#define DLGINIT_FORMAT_H

#define RES_DLGINIT             240
#define DLGINIT_LB_ADDSTRING    0x0401
#define DLGINIT_CB_ADDSTRING    0x0403

#endif
