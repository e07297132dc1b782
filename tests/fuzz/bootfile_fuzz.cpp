// Fuzzes the boot-file rewrite: file contents, command inputs, code page and an injected fault.
// A simple model of the rewrite and of how COMMAND.COM reads a line, kept apart from the product's
// reader, predicts the result; any difference, and any moment without a complete boot file, aborts.
//
// Input: flags byte (bit 0 interrupt changed, bit 1 address changed, bit 2 automatic detection,
// bit 3 code page 949, bits 4-7 fault), fault parameter byte, then the boot directory, the interrupt
// and the address, each as a length byte and that many bytes; the rest is the file. The fault
// parameter sets the read chunk and where a write or read fault strikes.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "bootfile.h"
#include "bootfile_fake_fs.h"
#include "lead_bytes.h"

namespace {

void Check(bool condition, const char* what) {
    if (condition) return;
    fprintf(stderr, "boot-file invariant broken: %s\n", what);
    abort();
}

struct Input {
    const uint8_t* data;
    size_t size;
    size_t position = 0;

    uint8_t Byte() { return position < size ? data[position++] : 0; }
    // A text as the environment or a CString holds it: it ends at a zero byte.
    std::string Text() {
        size_t length = Byte();
        std::string text;
        for (size_t i = 0; i < length && position < size; ++i) text += static_cast<char>(data[position++]);
        return text.substr(0, text.find('\0'));
    }
    std::string Rest() { return std::string(reinterpret_cast<const char*>(data) + position, size - position); }
};

struct Model {
    BootUpdateOutcome outcome;
    std::string bytes;     // the new file when the outcome is Rewritten
    size_t toolLines = 0;  // lines of the old file that start the tool
    bool changed = false;  // a tool line's text changed (see Folded), or the command was added
};

// COMMAND.COM reads no more of a line than this.
const size_t DosReads = 127;
const char Delimiters[] = " \t,;=";

bool IsIn(char c, const char* set) { return c && strchr(set, c); }

// A lead byte takes the next byte with it: a trail byte is never a separator.
size_t Width(const std::string& text, size_t i, LeadBytePredicate lead) {
    return lead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// Upper-cases a-z only, never a trail byte.
std::string Upper(std::string text, LeadBytePredicate lead) {
    for (size_t i = 0; i < text.size(); i += Width(text, i, lead))
        if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
    return text;
}

// One command of an upper-cased line: its redirections each a blank, and where each of its
// characters stands in the line.
struct Command {
    std::string text;
    std::vector<size_t> from;
    LeadBytePredicate lead;
    size_t at = 0;

    bool More() const { return at < text.size(); }
    bool At(const char* set) const { return More() && IsIn(text[at], set); }
    void Step() { at += Width(text, at, lead); }
    void Skip(const char* set) {
        while (At(set)) ++at;
    }
    // Passes word when the end, a delimiter or one of also follows it.
    bool Keyword(const char* word, const char* also = "") {
        const size_t n = strlen(word), next = at + n;
        if (text.compare(at, n, word) != 0 || (next < text.size() && !IsIn(text[next], Delimiters) &&
                                                !IsIn(text[next], also)))
            return false;
        at = next;
        return true;
    }
    // An argument of IF: up to a blank outside quotes, or also an '=' when asked.
    void Argument(bool equals = false) {
        for (bool quoted = false; More() && (quoted || !At(equals ? " \t=" : " \t")); Step())
            if (text[at] == '"') quoted = !quoted;
    }
    // Passes the command word: up to a delimiter or a switch outside quotes.
    std::string Word() {
        const size_t start = at;
        for (bool quoted = false; More() && (quoted || !At(" \t,;=/")); Step())
            if (text[at] == '"') quoted = !quoted;
        return text.substr(start, at - start);
    }
};

// Whether a command word's name, up to what a file name cannot hold, is an internal command's.
bool IsInternal(const std::string& name) {
    static const std::string names = " BREAK CALL CD CHCP CHDIR CLS COPY CTTY DATE DEL DIR ECHO ERASE EXIT FOR "
                                     "GOTO IF LFNFOR LH LOADHIGH LOCK MD MKDIR PATH PAUSE PROMPT RD REM REN RENAME "
                                     "RMDIR SET SHIFT TIME TRUENAME TYPE UNLOCK VER VERIFY VOL ";
    return !name.empty() && names.find(" " + name + " ") != std::string::npos;
}

std::string Unquoted(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
    return text;
}

// The file a command word runs: its path's last element without quotes; none when a ':' stands
// but as a drive's (at the start or after an opening quote).
std::string Program(const std::string& word, LeadBytePredicate lead) {
    size_t name = word[0] == '"';
    if (word.size() >= name + 2 && word[name + 1] == ':' && word[name] >= 'A' && word[name] <= 'Z') name += 2;
    for (size_t i = name; i < word.size(); i += Width(word, i, lead)) {
        if (word[i] == ':') return "";
        if (word[i] == '\\') name = i + 1;
    }
    return Unquoted(word.substr(name));
}

// IF's condition: [NOT] EXIST x, [NOT] ERRORLEVEL n or [NOT] a==b.
bool Condition(Command& c) {
    c.Skip(" \t");
    if (c.Keyword("NOT")) c.Skip(" \t");
    const size_t start = c.at;
    if (c.Keyword("EXIST") || c.Keyword("ERRORLEVEL")) {
        c.Skip(" \t");
        if (!c.At("=")) {
            c.Argument();
            return true;
        }
        c.at = start;
    }
    c.Argument(true);
    c.Skip(" \t");
    if (c.text.compare(c.at, 2, "==") != 0) return false;
    c.Skip("=");
    c.Skip(" \t");
    c.Argument();
    return true;
}

// FOR %%V IN (set) DO.
bool ForHead(Command& c) {
    c.Skip(Delimiters);
    if (c.text.compare(c.at, 2, "%%") != 0 || c.at + 2 >= c.text.size()) return false;
    c.at += 2;
    c.Step();
    c.Skip(Delimiters);
    if (!c.Keyword("IN", "(")) return false;
    c.Skip(Delimiters);
    if (!c.At("(")) return false;
    while (c.More() && !c.At(")")) c.Step();
    if (!c.More()) return false;
    ++c.at;
    c.Skip(Delimiters);
    return c.Keyword("DO");
}

enum class Kind { Prepares, Tool, Other, Remark };

// What a command does, past what may stand before its command word; wordAt takes where that is.
Kind CommandKind(Command& c, size_t& wordAt) {
    bool inFor = false;
    for (bool prefixed = false;; prefixed = true) {
        c.Skip(Delimiters);
        if (!c.More()) return prefixed ? Kind::Other : Kind::Prepares;
        wordAt = c.at;
        const std::string word = c.Word(), program = Program(word, c.lead);
        // An internal command's name ends at what a file name cannot hold (a drive's ':' too):
        // CD\KESTRO is CD.
        std::string internal = word.substr(0, word.find_first_of(".\"/\\[]:+=;, \t"));
        if (!IsInternal(internal)) internal.clear();
        // Its arguments may follow its name at once: CALL\KESTRO calls \KESTRO.
        if (!internal.empty()) c.at = wordAt + internal.size();
        if (internal == "REM") return prefixed ? Kind::Other : Kind::Remark;
        if (internal == "ECHO" || internal == "SET" || internal == "PATH" || internal == "PROMPT")
            return prefixed ? Kind::Other : Kind::Prepares;
        if (internal == "LH" || internal == "LOADHIGH") {
            for (c.Skip(Delimiters); c.At("/"); c.Skip(Delimiters))
                while (c.More() && !c.At(" \t")) c.Step();
        } else if (internal == "IF") {
            if (!Condition(c)) return Kind::Other;
        } else if (internal == "FOR") {
            if (inFor || !ForHead(c)) return Kind::Other;
            inFor = true;
        } else if (internal.empty() && (program == "COMMAND" || program == "COMMAND.COM" || program == "%COMSPEC%")) {
            while (c.More() && c.text.compare(c.at, 2, "/C") != 0 && c.text.compare(c.at, 2, "/K") != 0) c.Step();
            if (!c.More()) return Kind::Other;
            c.at += 2;
        } else if (internal != "CALL") {
            return internal.empty() && (program == "KESTRO" || program == "KESTRO.EXE") ? Kind::Tool : Kind::Other;
        }
    }
}

struct Reading {
    Kind kind = Kind::Prepares;
    std::vector<bool> inside;  // per character read: it stands inside a pair of quotes
    std::vector<std::pair<size_t, size_t>> tools;  // each tool command's words: [word, pipe or end)
    std::string classes;  // per character read: R starts a redirection, r goes on with it, | a pipe
};

// A line as COMMAND.COM reads its first characters: a label, or, past an '@' at its start, its
// commands between pipes, where quotes protect '|', '<' and '>' when a later quote (never a trail
// byte) pairs them.
Reading Read(const std::string& line, LeadBytePredicate lead) {
    const std::string view = Upper(line.substr(0, DosReads), lead);
    Reading r;
    size_t from = view.find_first_not_of(Delimiters);
    if (from == std::string::npos) return r;
    if (view[from] == ':') {
        if (view.compare(from, 2, "::") != 0) r.kind = Kind::Other;
        return r;
    }
    if (view[from] == '@') ++from;
    size_t quotes = 0;
    for (size_t i = 0; i < view.size(); i += Width(view, i, lead)) quotes += view[i] == '"';
    r.classes.assign(view.size(), '.');
    r.inside.assign(view.size(), false);
    bool quoted = false;
    for (size_t i = 0, end; i < view.size(); i = end) {
        end = i + Width(view, i, lead);
        r.inside[i] = quoted;
        if (view[i] == '"') {
            --quotes;
            quoted = !quoted && quotes > 0;
            continue;
        }
        if (quoted || end - i == 2) continue;
        if (view[i] == '|') {
            // COMMAND.COM refuses a pipe without a command after it.
            const size_t next = view.find_first_not_of(Delimiters, end);
            if (next == std::string::npos || view[next] == '|') return Reading{Kind::Other, {}, {}, ""};
            r.classes[i] = '|';
        }
        if (view[i] != '<' && view[i] != '>') continue;
        // The redirection's '<', '>' or '>>', delimiters, and the file name.
        end += view.compare(i, 2, ">>") == 0;
        while (IsIn(view[end], Delimiters)) ++end;
        const size_t name = end;
        while (end < view.size() && !IsIn(view[end], " \t,;=/<>|\"")) end += Width(view, end, lead);
        // COMMAND.COM refuses the line: a redirection without a file, or with a quote in it.
        if (end == name || view[end] == '"') return Reading{Kind::Other, {}, {}, ""};
        r.classes.replace(i, end - i, end - i, 'r');
        r.classes[i] = 'R';
    }
    // Nor does it run a pipe whose first command is empty once its redirections are taken out.
    const size_t pipe = r.classes.find('|', from);
    bool empty = pipe != std::string::npos;
    for (size_t i = from; empty && i < pipe; ++i) empty = r.classes[i] != '.' || IsIn(view[i], Delimiters);
    if (empty) return Reading{Kind::Other, {}, {}, ""};
    for (size_t start = from;;) {
        const size_t end = std::min(r.classes.find('|', start), view.size());
        Command c{"", {}, lead};
        for (size_t i = start; i < end; ++i) {
            if (r.classes[i] == 'r') continue;
            c.text += r.classes[i] == 'R' ? ' ' : view[i];
            c.from.push_back(i);
        }
        size_t wordAt = 0;
        Kind kind = CommandKind(c, wordAt);
        // A tool word inside quotes (COMMAND /C or a FOR set left them open) is none DOS starts.
        if (kind == Kind::Tool && r.inside[c.from[wordAt]]) kind = Kind::Other;
        if (kind == Kind::Remark) break;  // the rest of the line is the remark's
        if (kind == Kind::Tool) r.tools.push_back({c.from[wordAt], end});
        if (kind != Kind::Prepares && r.kind != Kind::Tool) r.kind = kind;
        if (end == view.size()) break;
        start = end + 1;
    }
    return r;
}

// The line with command in place of each tool command's words; the redirections among them follow
// it, each run of them after a blank unless one is there, and so does a following pipe.
std::string Splice(const std::string& line, const Reading& r, const std::string& command) {
    std::string out;
    auto separate = [&out] {
        if (!out.empty() && out.back() != ' ' && out.back() != '\t') out += ' ';
    };
    size_t copied = 0;
    for (const auto& tool : r.tools) {
        out += line.substr(copied, tool.first - copied);
        // An internal command's name would run into the command.
        if (tool.first > 0 && !IsIn(line[tool.first - 1], " \t,;=@|")) separate();
        out += command;
        for (size_t i = tool.first; i < tool.second; ++i) {
            if (r.classes[i] == '.') continue;
            if (r.classes[i - 1] == '.') separate();
            out += line[i];
        }
        copied = tool.second;
        if (copied < line.size()) separate();
    }
    return out + line.substr(copied);
}

// A line compared for a change of the tool's command: every byte's a-z as A-Z, no blanks at the end.
std::string Folded(const std::string& line) {
    std::string folded;
    for (char c : line) folded += c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    return folded.substr(0, folded.find_last_not_of(' ') + 1);
}

// What the rewrite must produce: DOS text up to a Ctrl-Z with CR LF, lone CR and lone LF each ending
// a line, every byte kept as read but the tool's words, every line written with CR LF; in every
// tool line the tool's words become the command, or the command is added as a line of its own
// after the opening lines that only prepare, before the first other line, else at the end.
// Refused for size: a command or a tool line longer than DOS reads, or a tool line the edit makes
// so; too many lines when the new file would have more than 1000, too large when its long lines
// need more than 1000 entries of 255 characters.
Model Predict(const std::string& file, const std::string& command, LeadBytePredicate lead) {
    if (command.size() > DosReads) return {BootUpdateOutcome::CommandTooLong, ""};
    std::string raw = file.substr(0, file.find('\x1A'));
    std::string text;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        text += raw[i] == '\r' ? '\n' : raw[i];
    }
    size_t lines = std::count(text.begin(), text.end(), '\n') + (!text.empty() && text.back() != '\n');
    auto tooBig = [&](size_t needed) {
        return Model{needed > BootLineCount ? BootUpdateOutcome::TooManyLines : BootUpdateOutcome::TooLarge, ""};
    };
    std::string out;
    size_t entries = 0;
    size_t lastLength = 0;
    size_t opening = 0;  // where the opening lines that only prepare end in out
    bool inOpening = true;
    Model model{BootUpdateOutcome::Rewritten, ""};
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(start, end - start);
        start = end;
        // The store takes a line in pieces of 255 characters; a zero byte ends the piece it is in.
        for (size_t piece = 0; piece < line.size(); piece += 255) {
            if (entries == BootLineCount) return tooBig(lines);
            if (line.find('\0', piece) < piece + 255) return {BootUpdateOutcome::NotText, ""};
            ++entries;
        }
        lastLength = line.size();
        const std::string content = line.substr(0, line.find('\n'));
        const Reading reading = Read(content, lead);
        inOpening = inOpening && reading.kind == Kind::Prepares;
        if (reading.kind == Kind::Tool) {
            ++model.toolLines;
            const std::string edited = Splice(content, reading, command);
            if (content.size() > DosReads || edited.size() > DosReads) return {BootUpdateOutcome::LineTooLong, ""};
            model.changed = model.changed || Folded(edited) != Folded(content);
            line = edited + "\n";
        }
        out += line;
        if (inOpening) opening = out.size();
    }
    if (!model.toolLines) {
        model.changed = true;
        if (entries == BootLineCount) return tooBig(lines + 1);
        if (opening < out.size()) {
            out.insert(opening, command + "\n");
        } else {
            if (!out.empty() && out.back() != '\n') {
                // A last line that fills its last piece takes its line end in an entry of its own.
                if (lastLength % 255 == 0 && entries < BootLineCount) ++entries;
                out += '\n';
            }
            if (entries == BootLineCount) return tooBig(lines + 1);
            out += command + "\n";
        }
    }
    for (char c : out) {
        if (c == '\n') model.bytes += '\r';
        model.bytes += c;
    }
    return model;
}

// How many lines of a written file (every line ends in CR LF) start the tool at the next read.
size_t ToolLines(const std::string& bytes, LeadBytePredicate lead) {
    size_t count = 0;
    for (size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        count += Read(bytes.substr(start, end - start), lead).kind == Kind::Tool;
    return count;
}

std::string Padded(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// Options only with values, and the values without their blanks.
std::string ExpectedCommand(const std::string& directory, bool irqChanged, bool portChanged, std::string irq,
                            std::string port, bool autoDetect) {
    irq = Trim(irq);
    port = Trim(port);
    if (autoDetect || ((!irqChanged || irq.empty()) && port.empty())) return directory + "\\KESTRO.EXE";
    if (irqChanged && !irq.empty())
        return directory + "\\KESTRO DIRQ=" + Padded(irq, 2) + (portChanged && !port.empty() ? " DREAM=" + port : "");
    return directory + "\\KESTRO DREAM=" + Padded(port, 3);
}

std::string Name(void (*name)(unsigned, char (&)[32])) {
    char text[32];
    name(0, text);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input input{data, size};
    uint8_t flags = input.Byte();
    uint8_t parameter = input.Byte();
    std::string directory = input.Text(), irq = input.Text(), port = input.Text();
    std::string old = input.Rest();
    bool irqChanged = flags & 1, portChanged = flags & 2, autoDetect = flags & 4;
    LeadBytePredicate lead = (flags & 8) ? IsCp949LeadByte : IsNeverLeadByte;
    unsigned fault = flags >> 4;

    const std::string bat = BootFilePath, newName = Name(BootNewFileName), backupName = Name(BootBackupFileName);
    std::string command = BuildBootCommand(directory.c_str(), irqChanged, portChanged, irq.c_str(), port.c_str(),
                                           autoDetect).c_str();
    Check(command == ExpectedCommand(directory, irqChanged, portChanged, irq, port, autoDetect), "command");
    Model model = Predict(old, command, lead);

    FakeBootFiles fs;
    fs.files[bat] = old;
    fs.readChunk = 1 + parameter % 64;
    switch (fault) {
    case 8: fs.failCreate = true; break;
    case 9: fs.writeFailAfter = parameter * 37L; break;
    case 10: fs.failCloseWrite = true; break;
    case 11: fs.failMovesFrom.insert(bat); break;
    case 12: fs.failMovesFrom.insert(newName); break;
    case 13: fs.failMovesFrom = {newName, backupName}; break;
    case 14: fs.failRemoves.insert(backupName); break;
    case 15: fs.readFailAt = parameter * 13L; break;
    default: break;
    }
    fs.afterChange = [&](const FakeBootFiles& files) {
        auto it = files.files.find(bat);
        if (it != files.files.end()) {
            Check(it->second == old || it->second == model.bytes, "boot file neither old nor as predicted");
            return;
        }
        bool beside = false;
        for (const auto& file : files.files) beside = beside || file.second == old || file.second == model.bytes;
        Check(beside, "no complete boot file anywhere");
    };

    BootSaveReport report;
    BootUpdateOutcome outcome = RewriteBootFile(fs, command.c_str(), lead, &report);

    // Which outcome the fault allows. A read fault counts when the reader needs the bytes beyond it.
    BootUpdateOutcome expected = model.outcome;
    size_t textEnd = std::min(old.find('\x1A'), old.size());
    bool readFault = fault == 15 && static_cast<size_t>(fs.readFailAt) <= textEnd &&
                     model.outcome != BootUpdateOutcome::CommandTooLong;
    if (readFault && (expected == BootUpdateOutcome::Rewritten || outcome == BootUpdateOutcome::ReadFailed))
        expected = BootUpdateOutcome::ReadFailed;
    if (expected == BootUpdateOutcome::Rewritten) {
        switch (fault) {
        case 8: case 10: expected = BootUpdateOutcome::WriteFailed; break;
        case 9:
            if (model.bytes.size() > static_cast<size_t>(fs.writeFailAfter)) expected = BootUpdateOutcome::WriteFailed;
            break;
        case 11: case 12: expected = BootUpdateOutcome::ReplaceFailed; break;
        case 13: expected = BootUpdateOutcome::RollbackFailed; break;
        default: break;
        }
    }
    Check(outcome == expected, "outcome");

    std::map<std::string, std::string> after = fs.files;
    switch (expected) {
    case BootUpdateOutcome::Rewritten:
        Check(after[bat] == model.bytes, "rewritten contents differ from the model");
        Check(report.nextBootChanged == model.changed, "change of the next boot misreported");
        // Every tool line still starts the tool, or the added line does, once the command is a plain
        // tool command (a blank in the directory, or a quote, a pipe or a line end anywhere, makes it
        // another command).
        static const std::string plain = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789\\:.";
        if (directory.find_first_not_of(plain) == std::string::npos &&
            command.find_first_not_of(plain + " =", directory.size()) == std::string::npos &&
            Read(command, lead).kind == Kind::Tool)
            Check(ToolLines(model.bytes, lead) == std::max<size_t>(model.toolLines, 1), "tool lines lost or added");
        after.erase(bat);
        if (fault == 14) {
            Check(after[backupName] == old, "backup left behind is not the old file");
            after.erase(backupName);
        }
        break;
    case BootUpdateOutcome::RollbackFailed:
        Check(!after.count(bat), "rollback failure with a boot file in place");
        Check(after[newName] == model.bytes && after[backupName] == old, "copies beside the boot file");
        after.erase(newName);
        after.erase(backupName);
        break;
    default:
        Check(after[bat] == old, "failed update changed the boot file");
        after.erase(bat);
        break;
    }
    Check(after.empty(), "spare files left behind");

    // Reading the options back changes nothing.
    const std::map<std::string, std::string> before = fs.files;
    fs.readFailAt = -1;
    fs.stopAfter = -1;
    ReadBootToolOptions(fs, lead);
    Check(fs.files == before, "reading the options changed the files");
    return 0;
}
