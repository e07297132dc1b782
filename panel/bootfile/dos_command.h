// The DOS tool's command line: the command the panel writes for it, and how COMMAND.COM reads a
// boot-file line: whether it starts the tool, with which options, and where the tool's words stand.
#pragma once
#include <stddef.h>

#include "cstring.h"
#include "mbcs.h"

// A line of the boot file is held in entries of this size: 255 characters and a terminating zero.
const size_t BootLineSize = 256;

// COMMAND.COM reads a batch line into a 128-byte buffer with its CR: what stands past this many
// characters never runs.
const size_t DosLineLimit = 127;

// The options the boot file's tool line passes to KESTRO.EXE, in the card's text forms: the
// interrupt as "%2d" of DIRQ= (decimal), the address as "%3X" of DREAM= (hexadecimal); each empty
// when the line has no such option or its value is not a number the tool could take.
struct BootToolOptions {
    CString irq;
    CString port;
};

// Copies a value without the blanks at its ends, as the tool's options and the lists take it (the
// card's " 5" is the interrupt 5); null as empty. Longer texts are cut to the buffer; no value is
// that long.
void CopyWithoutBlanks(const char* text, char (&value)[BootLineSize]);

// The tool's command: "%s\KESTRO DIRQ=%-2s" (plus " DREAM=" and the port when that changed too),
// "%s\KESTRO DREAM=%-3s" when the interrupt is unchanged, or "%s\KESTRO.EXE" with automatic
// detection. A value goes in without its surrounding blanks, and an option without a value is left
// out: with neither the command is "%s\KESTRO.EXE".
CString BuildBootCommand(const char* bootDirectory, bool irqChanged, bool portChanged, const char* irq,
                         const char* port, bool autoDetect);

// What a boot-file line does at the next boot.
enum class DosLineKind {
    Prepares,    // runs no program and cannot branch: blank, ECHO, REM, a "::" comment, SET, PATH, PROMPT
    StartsTool,  // some command of it starts KESTRO or KESTRO.EXE (any folder, quoted or not)
    Other,       // runs another program, branches, or is a label
};

// A line as COMMAND.COM reads it: its first DosLineLimit characters, the redirections taken out,
// split at its pipes; in each command, what stands before the command word ('@' at the line's
// start, CALL, LH with its switches, IF conditions, FOR %%V IN (...) DO, COMMAND or %COMSPEC% with
// /C or /K), then the command word, which names an internal command up to the first character a
// name cannot hold (CD\KESTRO is CD) and a program otherwise.
struct DosLineReading {
    DosLineKind kind;
    // The options of the line's last tool command: DIRQ= as a decimal interrupt from 1 to 15,
    // DREAM= as a hexadecimal address from 1 to FFFF.
    BootToolOptions options;
    // Each tool command's words: from its command word up to its pipe or the line's end.
    struct Words {
        unsigned char start, end;
    } tools[DosLineLimit / 2 + 1];
    size_t toolCount;
    // Which of the characters read belong to a redirection (its '<' or '>', its blanks, its file).
    bool redirected[DosLineLimit];
};

// Reads the line text[0, length) (no line end; only its first DosLineLimit characters count).
void ReadDosLine(const char* text, size_t length, LeadBytePredicate isLeadByte, DosLineReading& reading);

// A line with the tool's words replaced.
struct DosLineEdit {
    char text[DosLineLimit + 1];  // zero-ended
    size_t length = 0;
};

enum class DosLineFit { Fits, LongerThanDosReads };

// Puts command in place of each tool command's words in text[0, length); the redirections among
// them follow it, and any pipe after them, each after a blank. Every other byte stays as it is.
// LongerThanDosReads when the line or the edited line has more characters than DOS reads: the
// edit would change what runs.
DosLineFit SpliceDosLine(const char* text, size_t length, const DosLineReading& reading, const char* command,
                         DosLineEdit& edit);
