// Resource ids of Orrivan.exe. Shared by the resource scripts and the C++ code, so only #defines.
#ifndef ORRIVAN_RESOURCE_H
#define ORRIVAN_RESOURCE_H

#define IDC_STATIC              (-1)

// Program version: its four numbers are written here only. The file's version information shows
// them, and tools/package.sh reads them from there for the release's file names.
#define PANEL_VERSION_MAJOR     1
#define PANEL_VERSION_MINOR     0
#define PANEL_VERSION_PATCH     0
#define PANEL_VERSION_BUILD     1
#define PANEL_VERSION           PANEL_VERSION_MAJOR, PANEL_VERSION_MINOR, PANEL_VERSION_PATCH, \
                                PANEL_VERSION_BUILD
#define PANEL_VERSION_TEXT      PANEL_DOTTED_TEXT(PANEL_VERSION_MAJOR, PANEL_VERSION_MINOR, PANEL_VERSION_PATCH, \
                                                  PANEL_VERSION_BUILD)
#define PANEL_DOTTED_TEXT(a, b, c, d)  PANEL_TEXT_OF(a.b.c.d)
#define PANEL_TEXT_OF(tokens)          #tokens

// Program icon (the lowest icon id, so the shell shows it for the executable).
#define IDI_PANEL               128

// Artwork.
#define IDB_LOGO                130     // square emblem, 40 x 41 pixels
#define IDB_BANNER              132     // name banner, 154 x 32 pixels

// Information page.
#define IDD_INFO                135
#define IDC_INFO_WINVER         1000    // text slot i shows in control 1000 + i;
#define IDC_INFO_CHIPSET        1001    // 1002 and 1003 have no control
#define IDC_INFO_VER_KESTRO     1004
#define IDC_INFO_VER_VTESSAN    1005
#define IDC_INFO_VER_TESSAN     1006
#define IDC_INFO_VER_VKELDA     1007
#define IDC_INFO_VER_KELDA      1008
#define IDC_INFO_DATE_KESTRO    1009
#define IDC_INFO_DATE_VTESSAN   1010
#define IDC_INFO_DATE_TESSAN    1011
#define IDC_INFO_DATE_VKELDA    1012
#define IDC_INFO_DATE_KELDA     1013
#define IDC_INFO_FIRST          IDC_INFO_WINVER
#define IDC_INFO_COUNT          14

// Setting page (its control ids overlap those of the Information page; each page has its own).
#define IDD_SETTING             136
#define IDC_IRQ                 1010    // Sound Interrupt list
#define IDC_PORT                1011    // Sound Address list
#define IDC_AUTODETECT          1012
#define IDC_FIRMWARE_PATH       1013
#define IDC_MASTERBANK_PATH     1014
#define IDC_SLAVEBANK_PATH      1015
#define IDC_BROWSE_FIRMWARE     1016
#define IDC_BROWSE_MASTERBANK   1017
#define IDC_BROWSE_SLAVEBANK    1018
#define IDC_SYSTEM_INFO         1019
#define IDC_MULTIMEDIA_INFO     1020
#define IDC_BANK_MANAGER        1021

// Message of an apply that could not save a file (string tables, one per language): the caption,
// what was not saved (a format with the file's path and the reason; the restored or missing boot
// file's also with the spare file's name and the path again), and the reasons (each a format with
// the file that refused). Sixteen ids share a block of the string table: 192 to 207, then 208 on.
#define IDS_NOT_SAVED_CAPTION   192
#define IDS_NOT_SAVED_INI       193     // the firmware and bank choices in the INI file
#define IDS_NOT_SAVED_BOOT      194     // the tool's line in the boot file
// The reasons, in the order of SaveFailure from ReadOnly to Other.
#define IDS_WHY_READ_ONLY       195
#define IDS_WHY_IN_USE          196
#define IDS_WHY_TOO_MANY_LINES  197
#define IDS_WHY_TOO_LARGE       198
#define IDS_WHY_NOT_TEXT        199
#define IDS_WHY_LINE_TOO_LONG   200     // a format with the line's first words, not a file
#define IDS_WHY_PATH_TOO_LONG   201     // also told when a Browse pick is too long to keep
#define IDS_WHY_DISK_FULL       202
#define IDS_WHY_OTHER           203
#define IDS_NOT_SAVED_INI_BANKS 204     // the firmware choice was saved, the bank choices were not
#define IDS_NOT_SAVED_INI_SLAVE 205     // all but the slave bank choice were saved
#define IDS_NOT_SAVED_INI_FLUSH 206     // the choices did not reach the disk
#define IDS_NOT_SAVED_BOOT_MISSING 207  // the boot file is missing, the old one under a spare name

// From 208, the next block: the restored boot file's text, and the questions an apply asks, with
// the panel's caption.
#define IDS_NOT_SAVED_BOOT_RESTORED 208 // the missing boot file came back from a spare name
#define IDS_ASK_CREATE_BOOT     209     // no boot file (its path): create one holding the line?
#define IDS_ASK_RESTART         210     // the question Windows asks when a change waits for a restart

// Class of a dialog control given as the template's ordinal: windres writes a class given by name
// as a string, ten bytes more for each control.
#define DLG_CLASS_STATIC        0x0082

// Initial contents of a dialog's list controls: a resource of type RES_DLGINIT with the
// dialog's id, language-neutral beside the icon (Setting page: IDD_SETTING). The page applies
// it in its initialisation, before anything selects an entry. Its type, layout and messages are
// the framework's.
#include "../../framework/dlginit_format.h"

#endif
