// The DOS tool's command line: the command the panel writes for it, and how COMMAND.COM reads a
// boot-file line to tell whether it starts the tool and with which options.
#pragma once
#include <stddef.h>

#include "cstring.h"
#include "mbcs.h"

// A line of the boot file is held in entries of this size: 255 characters and a terminating zero.
const size_t BootLineSize = 256;

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

// A copy of a line in which the tool's commands are replaced as they are found. It holds what an
// entry holds; full says the copy would not fit one.
struct DosLineCopy {
    char text[BootLineSize];
    size_t length = 0;
    bool full = false;
};

// One upper-cased line held in consecutive entries (a long line takes several), read as one text
// that ends at its line feed or at the end of its last entry. It can keep a copy of what is read.
class DosLine {
public:
    DosLine(const char (*entries)[BootLineSize], size_t count, DosLineCopy* copy = nullptr)
        : m_entries(entries), m_count(count), m_copy(copy) {}
    // The byte at the cursor; 0 at the line's end.
    unsigned char Peek();
    // Passes the byte at the cursor, which joins the copy unless the copy is held.
    void Advance();

    // The copy's length so far; 0 without a copy.
    size_t Copied() const { return m_copy ? m_copy->length : 0; }
    // Puts text in place of the copy from offset from on.
    void ReplaceCopied(size_t from, const char* text);
    // Holding drops the bytes passed from the copy until it is released.
    void HoldCopy(bool hold) { m_held = hold; }
    // Adds a blank to the copy unless it ends in one (or is empty).
    void SeparateCopy();

private:
    void Copy(char c);

    const char (*m_entries)[BootLineSize];
    size_t m_count;
    size_t m_entry = 0;
    size_t m_index = 0;
    DosLineCopy* m_copy;
    bool m_held = false;
};

// What COMMAND.COM would start from a line: the tool (KESTRO or KESTRO.EXE, any path, quoted or
// not) as some element of its pipe, else Windows (WIN or WIN.COM, any path), else neither. A
// command word counts after '@', CALL, LH/LOADHIGH, IF conditions and redirections; nothing in a
// label or a REM line does.
enum class LineStarts { Neither, Tool, Windows };

// Reads a line as COMMAND.COM does. options, when given, takes the options of the line's last tool
// command: DIRQ= as a decimal interrupt from 1 to 15, DREAM= as a hexadecimal address from 1 to
// FFFF. With a copy in line, each tool command (its command word and arguments, up to a pipe or
// the line's end) becomes the replacement in the copy, followed by the redirections among its
// arguments and then any pipe, each after a blank; what stands before and after it is copied as it
// is. The copy's text ends at its length, without a zero.
LineStarts ReadDosLine(DosLine line, LeadBytePredicate isLeadByte, BootToolOptions* options = nullptr,
                       const char* replacement = "");
