#include "dos_command.h"

#include <string.h>

namespace {

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }

}  // namespace

void CopyWithoutBlanks(const char* text, char (&value)[BootLineSize]) {
    if (!text) text = "";
    while (IsBlank(*text)) ++text;
    size_t length = 0;
    for (; length < sizeof value - 1 && text[length]; ++length) value[length] = text[length];
    while (length > 0 && IsBlank(value[length - 1])) --length;
    value[length] = '\0';
}

CString BuildBootCommand(const char* bootDirectory, bool irqChanged, bool portChanged, const char* irq,
                         const char* port, bool autoDetect) {
    char irqValue[BootLineSize], portValue[BootLineSize];
    CopyWithoutBlanks(irq, irqValue);
    CopyWithoutBlanks(port, portValue);
    CString command;
    if (!autoDetect && irqChanged && *irqValue) {
        const bool withPort = portChanged && *portValue;
        command.Format("%s\\KESTRO DIRQ=%-2s%s%s", bootDirectory, irqValue, withPort ? " DREAM=" : "",
                       withPort ? portValue : "");
    } else if (!autoDetect && *portValue) {
        command.Format("%s\\KESTRO DREAM=%-3s", bootDirectory, portValue);
    } else {
        // Without options the tool finds the interrupt and the address itself.
        command.Format("%s\\KESTRO.EXE", bootDirectory);
    }
    return command;
}

unsigned char DosLine::Peek() {
    while (m_entry < m_count && !m_entries[m_entry][m_index]) {
        ++m_entry;
        m_index = 0;
    }
    if (m_entry == m_count) return 0;
    unsigned char c = static_cast<unsigned char>(m_entries[m_entry][m_index]);
    return c == '\n' ? 0 : c;
}

void DosLine::Advance() {
    const char c = static_cast<char>(Peek());
    if (!c) return;
    ++m_index;
    if (!m_held) Copy(c);
}

void DosLine::Copy(char c) {
    if (!m_copy) return;
    if (m_copy->length < BootLineSize - 1) {
        m_copy->text[m_copy->length++] = c;
    } else {
        m_copy->full = true;
    }
}

void DosLine::ReplaceCopied(size_t from, const char* text) {
    if (!m_copy) return;
    // What did not fit came after from, unless from is the end of a full copy.
    if (from < BootLineSize - 1) m_copy->full = false;
    m_copy->length = from;
    while (*text) Copy(*text++);
}

void DosLine::SeparateCopy() {
    const size_t length = Copied();
    if (length > 0 && !IsBlank(static_cast<unsigned char>(m_copy->text[length - 1]))) Copy(' ');
}

namespace {

bool IsRedirection(unsigned char c) { return c == '<' || c == '>'; }

// What ends a command word for COMMAND.COM: a blank, a switch, its other delimiters, a redirection
// and a pipe.
bool EndsCommandWord(unsigned char c) { return c == 0 || IsBlank(c) || (c && strchr("/,;=<>|", c)); }

void SkipBlanks(DosLine& line) {
    while (IsBlank(line.Peek())) line.Advance();
}

// Advances past one character, both bytes of a double-byte one: a trail byte is never a separator.
void SkipCharacter(DosLine& line, LeadBytePredicate isLeadByte) {
    const unsigned char c = line.Peek();
    line.Advance();
    if (isLeadByte(c)) line.Advance();
}

// Skips an argument of a command (a file name, a number, one side of a comparison): up to a blank
// or a redirection outside quotes, and also up to '=' when stopAtEquals. A pipe ends it always: a
// pipe ends the command, quoted or not.
void SkipArgument(DosLine& line, LeadBytePredicate isLeadByte, bool stopAtEquals = false) {
    bool quoted = false;
    for (unsigned char c = line.Peek(); c && c != '|'; c = line.Peek()) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (IsBlank(c) || IsRedirection(c) || (stopAtEquals && c == '='))) {
            return;
        }
        SkipCharacter(line, isLeadByte);
    }
}

// A redirection at the cursor (<, >, >>) with its file.
void SkipRedirection(DosLine& line, LeadBytePredicate isLeadByte) {
    while (IsRedirection(line.Peek())) line.Advance();
    SkipBlanks(line);
    SkipArgument(line, isLeadByte);
}

// A command word: its file name (the part after its last '\' or ':', without quotes; empty when too
// long for the buffer or not plain ASCII) and whether it was a bare name, as built-in commands are.
struct CommandWord {
    char name[16];
    bool bare;

    bool Is(const char* keyword) const { return bare && strcmp(name, keyword) == 0; }
};

void ReadCommandWord(DosLine& line, LeadBytePredicate isLeadByte, CommandWord& word) {
    size_t length = 0;
    bool tooLong = false;
    bool quoted = false;
    word.bare = true;
    for (unsigned char c = line.Peek(); quoted ? c != 0 && c != '|' : !EndsCommandWord(c); c = line.Peek()) {
        line.Advance();
        if (c == '"') {
            quoted = !quoted;
            word.bare = false;
            continue;
        }
        if (c == '\\' || c == ':') {
            length = 0;
            tooLong = false;
            word.bare = false;
            continue;
        }
        // No command the line is tested for has a double-byte character; its trail byte is skipped.
        if (isLeadByte(c) || length + 1 == sizeof word.name) {
            if (isLeadByte(c)) line.Advance();
            tooLong = true;
            continue;
        }
        word.name[length++] = static_cast<char>(c);
    }
    word.name[tooLong ? 0 : length] = '\0';
}

// The condition after IF: [NOT] EXIST file, [NOT] ERRORLEVEL n or [NOT] a==b. False when it is none
// of them, so that COMMAND.COM would refuse the line.
bool SkipCondition(DosLine& line, LeadBytePredicate isLeadByte) {
    SkipBlanks(line);
    CommandWord word;
    ReadCommandWord(line, isLeadByte, word);
    if (word.Is("NOT")) {
        SkipBlanks(line);
        ReadCommandWord(line, isLeadByte, word);
    }
    if (word.Is("EXIST") || word.Is("ERRORLEVEL")) {
        SkipBlanks(line);
        if (line.Peek() != '=') {
            SkipArgument(line, isLeadByte);
            return true;
        }
    }
    // The left side of a==b goes on past what ends a command word, up to a blank or the '='.
    SkipArgument(line, isLeadByte, true);
    SkipBlanks(line);
    if (line.Peek() != '=') return false;
    line.Advance();
    if (line.Peek() != '=') return false;
    while (line.Peek() == '=') line.Advance();
    SkipBlanks(line);
    SkipArgument(line, isLeadByte);
    return true;
}

enum class CommandKind { Tool, Windows, Other, NeverRuns };

// Reads one command of a line or pipe element up to and including its command word. A tool's
// command word gives way to replacement in the line's copy.
CommandKind ReadCommand(DosLine& line, LeadBytePredicate isLeadByte, const char* replacement) {
    CommandWord word;
    size_t wordStart = 0;
    for (;;) {
        SkipBlanks(line);
        const unsigned char c = line.Peek();
        if (c == '@') {
            line.Advance();
            continue;
        }
        if (IsRedirection(c)) {
            SkipRedirection(line, isLeadByte);
            continue;
        }
        if (c == ':') return CommandKind::NeverRuns;  // a label such as :KESTRO
        wordStart = line.Copied();
        ReadCommandWord(line, isLeadByte, word);
        if (word.Is("REM")) return CommandKind::NeverRuns;
        if (word.Is("CALL")) continue;
        if (word.Is("LH") || word.Is("LOADHIGH")) {
            SkipBlanks(line);
            while (line.Peek() == '/') {  // /L:1;2 /S and the like
                for (unsigned char o; (o = line.Peek()) && o != '|' && !IsBlank(o);)
                    SkipCharacter(line, isLeadByte);
                SkipBlanks(line);
            }
            continue;
        }
        if (word.Is("IF")) {
            if (!SkipCondition(line, isLeadByte)) return CommandKind::Other;
            continue;
        }
        break;
    }
    if (strcmp(word.name, "KESTRO") == 0 || strcmp(word.name, "KESTRO.EXE") == 0) {
        line.ReplaceCopied(wordStart, replacement);
        return CommandKind::Tool;
    }
    return strcmp(word.name, "WIN") == 0 || strcmp(word.name, "WIN.COM") == 0 ? CommandKind::Windows
                                                                               : CommandKind::Other;
}

bool IsArgumentGap(unsigned char c) { return IsBlank(c) || c == ',' || c == ';' || c == '/'; }

// Sets target to the decimal or hexadecimal digits of text as "%2d" or "%3X"; empty when text is
// not a number from 1 to limit.
void SetNumber(CString& target, const char* text, unsigned base, unsigned limit, const char* format) {
    static const char digits[] = "0123456789ABCDEF";
    target.Empty();
    unsigned value = 0;
    for (const char* p = text; *p; ++p) {
        const char* digit = strchr(digits, *p);
        if (!digit || static_cast<unsigned>(digit - digits) >= base) return;
        value = value * base + static_cast<unsigned>(digit - digits);
        if (value > limit) return;
    }
    if (value > 0) target.Format(format, value);
}

// The tool's arguments after its command word, up to the line's end or a pipe, read as COMMAND.COM
// splits words; a later option overrides an earlier one, as it does for the tool. They leave the
// line's copy, the redirections among them excepted.
void ReadOptions(DosLine& line, LeadBytePredicate isLeadByte, BootToolOptions& options) {
    CommandWord key, value;
    options.irq.Empty();
    options.port.Empty();
    line.HoldCopy(true);
    for (unsigned char c = line.Peek(); c && c != '|'; c = line.Peek()) {
        if (IsRedirection(c)) {
            // After a blank, so that the last option of the replacement does not run into it.
            line.HoldCopy(false);
            line.SeparateCopy();
            SkipRedirection(line, isLeadByte);
            line.HoldCopy(true);
            continue;
        }
        ReadCommandWord(line, isLeadByte, key);
        if (line.Peek() == '=') {
            line.Advance();
            ReadCommandWord(line, isLeadByte, value);
            // A quoted value or one with a path in it is no number the tool takes.
            if (!value.bare) value.name[0] = '\0';
            if (key.Is("DIRQ")) SetNumber(options.irq, value.name, 10, 15, "%2d");
            if (key.Is("DREAM")) SetNumber(options.port, value.name, 16, 0xFFFF, "%3X");
        } else if (IsArgumentGap(line.Peek())) {
            line.Advance();
        }
    }
    line.HoldCopy(false);
    if (line.Peek()) line.SeparateCopy();  // before the pipe, as before a redirection
}

}  // namespace

LineStarts ReadDosLine(DosLine line, LeadBytePredicate isLeadByte, BootToolOptions* options,
                       const char* replacement) {
    LineStarts starts = LineStarts::Neither;
    for (bool another = true; another;) {
        switch (ReadCommand(line, isLeadByte, replacement)) {
        case CommandKind::Tool: {
            starts = LineStarts::Tool;
            BootToolOptions read;
            ReadOptions(line, isLeadByte, options ? *options : read);
            break;
        }
        case CommandKind::Windows:
            if (starts == LineStarts::Neither) starts = LineStarts::Windows;
            break;
        case CommandKind::NeverRuns:
            another = false;
            break;
        case CommandKind::Other:
            break;
        }
        // A later element of a pipe is a command of its own; the rest of a REM or label is not.
        unsigned char c;
        while ((c = line.Peek()) && (c != '|' || !another)) SkipCharacter(line, isLeadByte);
        if (!c) break;
        line.Advance();
    }
    return starts;
}
