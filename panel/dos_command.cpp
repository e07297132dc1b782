#include "dos_command.h"

#include <string.h>

namespace {

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }

// Trims blanks from both ends: the card's " 5" is the interrupt 5.
CString Trimmed(const char* text) {
    while (IsBlank(*text)) ++text;
    size_t length = strlen(text);
    while (length > 0 && IsBlank(text[length - 1])) --length;
    return CString(text, static_cast<int>(length));
}

}  // namespace

CString BuildBootCommand(const char* bootDirectory, bool irqChanged, bool portChanged, const char* irq,
                         const char* port, bool autoDetect) {
    const CString irqValue = Trimmed(irq);
    const CString portValue = Trimmed(port);
    CString command;
    if (!autoDetect && irqChanged && !irqValue.IsEmpty()) {
        command.Format("%s\\KESTRO DIRQ=%-2s", bootDirectory, irqValue.c_str());
        if (portChanged && !portValue.IsEmpty()) {
            command += " DREAM=";
            command += portValue;
        }
    } else if (!autoDetect && !portValue.IsEmpty()) {
        command.Format("%s\\KESTRO DREAM=%-3s", bootDirectory, portValue.c_str());
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
    if (Peek()) ++m_index;
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
// long for the buffer) and whether it was a bare name, as the built-in commands are.
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
        unsigned char trail = isLeadByte(c) ? line.Peek() : 0;
        if (trail) line.Advance();
        const size_t size = trail ? 2 : 1;
        if (length + size >= sizeof word.name) {
            tooLong = true;
            continue;
        }
        word.name[length++] = static_cast<char>(c);
        if (trail) word.name[length++] = static_cast<char>(trail);
    }
    word.name[tooLong ? 0 : length] = '\0';
}

// The condition after IF: [NOT] EXIST file, [NOT] ERRORLEVEL n or [NOT] a==b. False when it is none
// of them, so that COMMAND.COM would refuse the line.
bool SkipCondition(DosLine& line, LeadBytePredicate isLeadByte) {
    SkipBlanks(line);
    DosLine start = line;
    CommandWord word;
    ReadCommandWord(line, isLeadByte, word);
    if (word.Is("NOT")) {
        SkipBlanks(line);
        start = line;
        ReadCommandWord(line, isLeadByte, word);
    }
    SkipBlanks(line);
    if ((word.Is("EXIST") || word.Is("ERRORLEVEL")) && line.Peek() != '=') {
        SkipArgument(line, isLeadByte);
        return true;
    }
    line = start;
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

enum class CommandKind { Tool, Other, NeverRuns };

// Reads one command of a line or pipe element up to and including its command word.
CommandKind ReadCommand(DosLine& line, LeadBytePredicate isLeadByte) {
    CommandWord word;
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
        ReadCommandWord(line, isLeadByte, word);
        if (word.Is("REM")) return CommandKind::NeverRuns;
        if (word.Is("CALL")) continue;
        if (word.Is("LH") || word.Is("LOADHIGH")) {
            SkipBlanks(line);
            while (line.Peek() == '/') {  // /L:1;2 /S and the like
                while (line.Peek() && line.Peek() != '|' && !IsBlank(line.Peek())) SkipCharacter(line, isLeadByte);
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
    return strcmp(word.name, "KESTRO") == 0 || strcmp(word.name, "KESTRO.EXE") == 0 ? CommandKind::Tool
                                                                                     : CommandKind::Other;
}

bool IsArgumentGap(unsigned char c) { return IsBlank(c) || c == ',' || c == ';' || c == '/'; }

// The decimal or hexadecimal digits of text as "%2d" or "%3X"; empty when text is not a number from
// 1 to limit.
CString NumberText(const char* text, unsigned base, unsigned limit, const char* format) {
    unsigned value = 0;
    for (const char* p = text; *p; ++p) {
        const char* digit = strchr("0123456789ABCDEF", *p);
        if (!digit || static_cast<unsigned>(digit - "0123456789ABCDEF") >= base) return CString();
        value = value * base + static_cast<unsigned>(digit - "0123456789ABCDEF");
        if (value > limit) return CString();
    }
    CString result;
    if (value > 0) result.Format(format, value);
    return result;
}

// The tool's arguments after its command word, up to the line's end or a pipe; a later option
// overrides an earlier one, as it does for the tool.
void ReadOptions(DosLine& line, LeadBytePredicate isLeadByte, BootToolOptions& options) {
    for (unsigned char c = line.Peek(); c && c != '|'; c = line.Peek()) {
        if (IsArgumentGap(c)) {
            line.Advance();
            continue;
        }
        if (IsRedirection(c)) {
            SkipRedirection(line, isLeadByte);
            continue;
        }
        // An argument too long for the buffer, or with a double-byte character, holds no number.
        char argument[16];
        size_t length = 0;
        bool number = true;
        for (; c && !IsArgumentGap(c) && !IsRedirection(c) && c != '|'; c = line.Peek()) {
            if (isLeadByte(c)) number = false;
            SkipCharacter(line, isLeadByte);
            if (length + 1 < sizeof argument) argument[length++] = static_cast<char>(c);
            else number = false;
        }
        argument[length] = '\0';
        if (strncmp(argument, "DIRQ=", 5) == 0) {
            options.irq = number ? NumberText(argument + 5, 10, 15, "%2d") : CString();
        } else if (strncmp(argument, "DREAM=", 6) == 0) {
            options.port = number ? NumberText(argument + 6, 16, 0xFFFF, "%3X") : CString();
        }
    }
}

}  // namespace

bool StartsTheTool(DosLine line, LeadBytePredicate isLeadByte, BootToolOptions* options) {
    for (;;) {
        switch (ReadCommand(line, isLeadByte)) {
        case CommandKind::Tool:
            if (options) ReadOptions(line, isLeadByte, *options);
            return true;
        case CommandKind::NeverRuns:
            return false;
        case CommandKind::Other:
            break;
        }
        // A later element of a pipe is a command of its own.
        while (line.Peek() && line.Peek() != '|') SkipCharacter(line, isLeadByte);
        if (!line.Peek()) return false;
        line.Advance();
    }
}
