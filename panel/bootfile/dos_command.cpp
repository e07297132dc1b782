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

namespace {

// What COMMAND.COM skips before a command word and what ends a word; after a command word they
// stay in the program's tail.
bool IsDelimiter(unsigned char c) { return IsBlank(c) || c == ',' || c == ';' || c == '='; }

bool IsOneOf(unsigned char c, const char* set) { return c && strchr(set, c); }

// ---- The lexer: redirections and pipes, as COMMAND.COM's first pass over a line finds them ------

// A cursor in a lexed line, or in one command of it, which ends at a zero.
struct DosCursor {
    unsigned char* p;
    LeadBytePredicate isLeadByte;

    // Passes one character, both bytes of a double-byte one: a trail byte is never a separator.
    void Step() {
        if (*p && isLeadByte(*p++) && *p) ++p;
    }
    void SkipBlanks() {
        while (IsBlank(*p)) ++p;
    }
    void SkipDelimiters() {
        while (IsDelimiter(*p)) ++p;
    }
    // Passes a word: up to a delimiter, one of ends or the command's end.
    void SkipWord(const char* ends) {
        while (*p && !IsDelimiter(*p) && !IsOneOf(*p, ends)) Step();
    }
    // Passes keyword when a delimiter, one of also or the command's end follows it.
    bool PassKeyword(const char* keyword, const char* also = "") {
        size_t n = 0;
        for (; keyword[n]; ++n)
            if (p[n] != static_cast<unsigned char>(keyword[n])) return false;
        if (p[n] && !IsDelimiter(p[n]) && !IsOneOf(p[n], also)) return false;
        p += n;
        return true;
    }
};

// A redirection is '<', '>' or '>>' with the delimiters and the file name after it (up to a
// delimiter, a switch or another redirection); neither a redirection nor a pipe counts inside a
// pair of double quotes, and a quote without a partner protects nothing. Each redirection is marked
// in redirected and blanked out of text, as COMMAND.COM takes it out of the command; each pipe
// becomes a zero that ends its command; quoted marks what stands inside a pair of quotes. False when
// COMMAND.COM refuses the line: a redirection without a file name or with a quote in it, or a pipe
// with no command after it.
bool Lex(unsigned char* text, LeadBytePredicate isLeadByte, bool* redirected, bool* quoted) {
    bool inside = false;
    for (DosCursor c{text, isLeadByte}; *c.p;) {
        unsigned char* const at = c.p;
        quoted[at - text] = inside;
        c.Step();
        if (*at == '"') {
            DosCursor partner{c.p, isLeadByte};
            while (*partner.p && *partner.p != '"') partner.Step();
            inside = !inside && *partner.p;
        } else if (inside || c.p - at == 2) {
        } else if (*at == '|') {
            *at = '\0';
            DosCursor next{c.p, isLeadByte};
            next.SkipDelimiters();
            if (!*next.p || *next.p == '|') return false;
        } else if (*at == '<' || *at == '>') {
            if (*at == '>' && *c.p == '>') ++c.p;
            c.SkipDelimiters();
            const unsigned char* const name = c.p;
            c.SkipWord("/<>|\"");
            if (c.p == name || *c.p == '"') return false;
            memset(redirected + (at - text), true, c.p - at);
            memset(at, ' ', c.p - at);
        }
    }
    return true;
}

// ---- The recognisers of what stands before a command word, and of the command word -------------

// The commands COMMAND.COM runs itself, each after a '\', which no name holds; those this reader
// tells apart first, in the order of Internal.
const char InternalCommands[] = "\\REM\\ECHO\\SET\\PATH\\PROMPT\\CALL\\LH\\LOADHIGH\\IF\\FOR\\BREAK\\CD\\CHCP\\CHDIR\\CLS"
                                "\\COPY\\CTTY\\DATE\\DEL\\DIR\\ERASE\\EXIT\\GOTO\\LFNFOR\\LOCK\\MD\\MKDIR\\PAUSE\\RD"
                                "\\REN\\RENAME\\RMDIR\\SHIFT\\TIME\\TRUENAME\\TYPE\\UNLOCK\\VER\\VERIFY\\VOL\\";
enum Internal { Rem, Echo, Set, Path, Prompt, Call, LoadHigh, LoadHighLong, If, For };
// The programs this reader looks for, likewise, in the order of Program.
// %COMSPEC% is the path of COMMAND.COM, which COMMAND.COM puts in before it reads the line.
const char Programs[] = "\\KESTRO\\KESTRO.EXE\\COMMAND\\COMMAND.COM\\%COMSPEC%\\";
enum Program { Tool, ToolWithExtension, Interpreter, InterpreterWithExtension, InterpreterByVariable };
const int Unknown = -1;

// Which name of list name[0, length) is, or Unknown.
int IndexIn(const char* list, const char* name, size_t length) {
    char probe[16] = "\\";
    if (length > sizeof probe - 3) return Unknown;
    memcpy(probe + 1, name, length);
    probe[length + 1] = '\\';
    const char* const found = strstr(list, probe);
    if (!found) return Unknown;
    int index = 0;
    for (const char* q = list; q < found; ++q) index += *q == '\\';
    return index;
}

// A command word: the internal command it names, or else the program it runs (by the name its path
// ends in, without quotes); Unknown for others.
struct CommandWord {
    int internal;
    int program;
};

// The command word ends at a delimiter or a switch; quotes group, as around a long file name. An
// internal command's name ends at the first character a file name cannot hold (CD\KESTRO is CD
// with the argument \KESTRO); with a drive the word always names a program.
void ReadCommandWord(DosCursor& c, CommandWord& word) {
    unsigned char* const start = c.p;
    bool quoted = false;
    for (unsigned char ch; (ch = *c.p) && (quoted || !(IsDelimiter(ch) || ch == '/')); c.Step()) {
        if (ch == '"') quoted = !quoted;
    }
    word.internal = word.program = Unknown;
    unsigned char* const path = start + (*start == '"');
    const bool drive = path[0] >= 'A' && path[0] <= 'Z' && path[1] == ':';
    unsigned char* name = start;
    while (name < c.p && !IsOneOf(*name, ".\"/\\[]:+=;, \t")) ++name;
    if (!drive && name - start <= 8) {
        word.internal = IndexIn(InternalCommands, reinterpret_cast<char*>(start), name - start);
        if (word.internal != Unknown) {
            c.p = name;  // its arguments may follow without a blank: CALL\KESTRO calls \KESTRO
            return;
        }
    }
    unsigned char* last = path + (drive ? 2 : 0);
    for (DosCursor k{last, c.isLeadByte}; k.p < c.p; k.Step()) {
        if (*k.p == ':') return;  // a ':' but a drive's names no file
        if (*k.p == '\\') last = k.p + 1;
    }
    char program[DosLineLimit];
    size_t n = 0;
    for (; last < c.p; ++last)
        if (*last != '"') program[n++] = static_cast<char>(*last);
    word.program = IndexIn(Programs, program, n);
}

// An argument of IF: up to a blank outside quotes, or also up to '=' when stopAtEquals.
void SkipArgument(DosCursor& c, bool stopAtEquals = false) {
    bool quoted = false;
    for (unsigned char ch; (ch = *c.p); c.Step()) {
        if (ch == '"') {
            quoted = !quoted;
        } else if (!quoted && (IsBlank(ch) || (stopAtEquals && ch == '='))) {
            return;
        }
    }
}

// IF's condition: [NOT] EXIST file, [NOT] ERRORLEVEL n or [NOT] a==b. False when it is none of
// them, so that COMMAND.COM refuses the line.
bool SkipCondition(DosCursor& c) {
    c.SkipBlanks();
    if (c.PassKeyword("NOT")) c.SkipBlanks();
    unsigned char* const start = c.p;
    if (c.PassKeyword("EXIST") || c.PassKeyword("ERRORLEVEL")) {
        c.SkipBlanks();
        if (*c.p != '=') {
            SkipArgument(c);
            return true;
        }
        c.p = start;
    }
    // The left side of a==b goes on past what ends a command word, up to a blank or the '='.
    SkipArgument(c, true);
    c.SkipBlanks();
    if (*c.p != '=' || c.p[1] != '=') return false;
    while (*c.p == '=') ++c.p;
    c.SkipBlanks();
    SkipArgument(c);
    return true;
}

// FOR %%V IN (set) DO, which runs its command once for each item of the set. False when the line is
// not of that form, so that COMMAND.COM refuses it.
bool SkipForHead(DosCursor& c) {
    c.SkipDelimiters();
    if (c.p[0] != '%' || c.p[1] != '%' || !c.p[2]) return false;
    c.p += 2;
    c.Step();
    c.SkipDelimiters();
    if (!c.PassKeyword("IN", "(")) return false;
    c.SkipDelimiters();
    if (*c.p != '(') return false;
    while (*c.p && *c.p != ')') c.Step();
    if (!*c.p) return false;
    ++c.p;
    c.SkipDelimiters();
    return c.PassKeyword("DO");
}

// Sets target to the digits of text[0, length) in base 10 as "%2d" or in base 16 as "%3X"; empty
// when they are not a number from 1 to 15 or to FFFF, or are longer than a number is written.
void SetNumber(CString& target, const unsigned char* text, size_t length, unsigned base) {
    target.Empty();
    if (length > 15) return;
    unsigned value = 0;
    for (size_t k = 0; k < length; ++k) {
        const unsigned c = text[k];
        const unsigned digit = c - '0' <= 9 ? c - '0' : c - 'A' <= 5 ? c - 'A' + 10 : 16;
        if (digit >= base) return;
        value = value * base + digit;
        if (value > (base == 16 ? 0xFFFFu : 15u)) return;
    }
    if (value > 0) target.Format(base == 16 ? "%3X" : "%2d", value);
}

// The tool's arguments: KEY=VALUE among blanks, ',', ';' and switches. A later option overrides an
// earlier one, as it does for the tool.
void ReadOptions(DosCursor& c, BootToolOptions& options) {
    options.irq.Empty();
    options.port.Empty();
    while (*c.p) {
        CString* const target = c.PassKeyword("DIRQ") ? &options.irq : c.PassKeyword("DREAM") ? &options.port : nullptr;
        c.SkipWord("/");  // a key that is neither
        if (*c.p != '=') {
            if (*c.p) ++c.p;  // a delimiter or a switch's '/'
            continue;
        }
        const unsigned char* const value = ++c.p;
        c.SkipWord("/");
        if (target) SetNumber(*target, value, c.p - value, target == &options.port ? 16 : 10);
    }
}

enum class CommandStarts { Preparation, Remark, Tool, Other };

// Reads one command up to its command word, past what stands before it; start takes where the
// command word begins.
CommandStarts ReadCommand(DosCursor& c, const unsigned char*& start) {
    bool prefixed = false, inFor = false;
    for (;; prefixed = true) {
        c.SkipDelimiters();
        if (!*c.p) return prefixed ? CommandStarts::Other : CommandStarts::Preparation;
        start = c.p;
        CommandWord word;
        ReadCommandWord(c, word);
        if (word.internal != Unknown && word.internal <= Prompt) {
            if (prefixed) return CommandStarts::Other;
            return word.internal == Rem ? CommandStarts::Remark : CommandStarts::Preparation;
        }
        if (word.internal == LoadHigh || word.internal == LoadHighLong) {
            c.SkipDelimiters();
            while (*c.p == '/') {  // /L:1;2 /S and the like
                while (*c.p && !IsBlank(*c.p)) c.Step();
                c.SkipDelimiters();
            }
        } else if (word.internal == If) {
            if (!SkipCondition(c)) return CommandStarts::Other;
        } else if (word.internal == For) {
            if (inFor || !SkipForHead(c)) return CommandStarts::Other;  // FOR cannot be nested
            inFor = true;
        } else if (word.program >= Interpreter) {
            // COMMAND [path] [device] [switches] /C or /K command: without one, the interpreter
            // itself is the program.
            while (*c.p && !(*c.p == '/' && (c.p[1] == 'C' || c.p[1] == 'K'))) c.Step();
            if (!*c.p) return CommandStarts::Other;
            c.p += 2;
        } else if (word.internal != Call) {
            return word.program == Tool || word.program == ToolWithExtension ? CommandStarts::Tool
                                                                            : CommandStarts::Other;
        }
    }
}

}  // namespace

void ReadDosLine(const char* line, size_t length, LeadBytePredicate isLeadByte, DosLineReading& reading) {
    reading.kind = DosLineKind::Prepares;
    reading.toolCount = 0;
    memset(reading.redirected, 0, sizeof reading.redirected);

    // Recognition reads an upper-cased copy of what DOS reads.
    char view[DosLineLimit + 1];
    if (length > DosLineLimit) length = DosLineLimit;
    memcpy(view, line, length);
    view[length] = '\0';
    UpperCaseAnsi(view, isLeadByte);
    unsigned char* const text = reinterpret_cast<unsigned char*>(view);

    // A line whose first character after delimiters is ':' is a label and never runs; '@' there
    // only keeps the line from being shown.
    size_t from = 0;
    while (IsDelimiter(text[from])) ++from;
    if (text[from] == ':') {
        if (text[from + 1] != ':') reading.kind = DosLineKind::Other;
        return;
    }
    if (text[from] == '@') ++from;

    bool quoted[DosLineLimit + 1];
    const bool refused = !Lex(text, isLeadByte, reading.redirected, quoted);
    // Nor does it run a pipe whose first command is empty once its redirections are taken out.
    DosCursor first{text + from, isLeadByte};
    first.SkipDelimiters();
    if (refused || (!*first.p && first.p < text + length)) {
        reading.kind = DosLineKind::Other;
        return;
    }
    for (;;) {
        DosCursor command{text + from, isLeadByte};
        const size_t end = from + strlen(view + from);
        const unsigned char* start = nullptr;
        CommandStarts starts = ReadCommand(command, start);
        // A command word inside quotes, which COMMAND /C or a FOR set left open, is none DOS sees as
        // such; an edit of it would change which quotes pair.
        if (starts == CommandStarts::Tool && quoted[start - text]) starts = CommandStarts::Other;
        switch (starts) {
        case CommandStarts::Remark:
            return;  // the rest of the line is the remark's
        case CommandStarts::Tool:
            reading.kind = DosLineKind::StartsTool;
            reading.tools[reading.toolCount++] = {static_cast<unsigned char>(start - text),
                                                  static_cast<unsigned char>(end)};
            ReadOptions(command, reading.options);
            break;
        case CommandStarts::Other:
            if (reading.kind != DosLineKind::StartsTool) reading.kind = DosLineKind::Other;
            break;
        case CommandStarts::Preparation:
            break;
        }
        if (end >= length) return;
        from = end + 1;
    }
}

DosLineFit SpliceDosLine(const char* text, size_t length, const DosLineReading& reading, const char* command,
                         DosLineEdit& edit) {
    // DOS never read the rest of a longer line: an edit would bring it in, or leave it dropped.
    bool fits = length <= DosLineLimit;
    size_t n = 0;
    auto put = [&](char c) {
        if (n < DosLineLimit) {
            edit.text[n++] = c;
        } else {
            fits = false;
        }
    };
    // A blank, unless the line ends in one: what follows the command must not run into its last option.
    auto separate = [&] {
        if (n > 0 && !IsBlank(static_cast<unsigned char>(edit.text[n - 1]))) put(' ');
    };
    size_t tool = 0;
    for (size_t i = 0; fits && i < length;) {
        if (tool == reading.toolCount || i != reading.tools[tool].start) {
            put(text[i++]);
            continue;
        }
        // Apart from what stands before, unless a delimiter, the line's '@' or a pipe ends that: an
        // internal command's name would run into the command (CALL\KESTRO, LH"KESTRO").
        if (i > 0 && !IsDelimiter(text[i - 1]) && text[i - 1] != '@' && text[i - 1] != '|') separate();
        for (const char* c = command; *c; ++c) put(*c);
        for (const size_t end = reading.tools[tool++].end; i < end; ++i) {
            if (!reading.redirected[i]) continue;
            if (!reading.redirected[i - 1]) separate();  // the command word before is never a redirection's
            put(text[i]);
        }
        if (i < length) separate();  // before the pipe
    }
    edit.length = n;
    edit.text[n] = '\0';
    return fits ? DosLineFit::Fits : DosLineFit::LongerThanDosReads;
}
