// Fuzzes the boot-file rewrite: file contents, command inputs, code page and an injected fault.
// A simple model of the rewrite, kept apart from the line store, predicts the result; any
// difference, and any moment without a complete boot file, aborts.
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

// The pieces of an upper-cased pipe element, as COMMAND.COM splits it: a lead byte always takes
// the next byte with it, so a trail byte is never a separator.
struct Element {
    std::string text;
    LeadBytePredicate lead;
    size_t at = 0;

    size_t Width(size_t i) const {
        return lead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    }
    bool At(const char* set) const { return at < text.size() && strchr(set, text[at]); }
    void Blanks() {
        while (At(" \t")) ++at;
    }
    // A command word (quotes group, but a pipe never is inside one): its name after the last '\'
    // or ':' without quotes, and whether it was bare.
    std::string Word(bool& bare) {
        std::string name;
        bool quoted = false;
        bare = true;
        while (at < text.size() && (quoted || !At(" \t/,;=<>"))) {
            const char c = text[at];
            if (c == '"' || c == '\\' || c == ':') {
                if (c == '"') quoted = !quoted;
                if (c != '"') name.clear();
                bare = false;
                ++at;
                continue;
            }
            name += text.substr(at, Width(at));
            at += Width(at);
        }
        return name;
    }
    // An argument: up to a blank or a redirection outside quotes (or '=' when asked).
    void Argument(bool equals = false) {
        bool quoted = false;
        while (at < text.size() && (quoted || !At(equals ? " \t<>=" : " \t<>"))) {
            if (text[at] == '"') quoted = !quoted;
            at += Width(at);
        }
    }
};

enum class Kind { Tool, Windows, Other, Never };

// What the pipe element starts; e.at is left after its command word, and wordAt at its start.
Kind CommandOf(Element& e, size_t& wordAt) {
    for (;;) {
        e.Blanks();
        if (e.At("@")) {
            ++e.at;
            continue;
        }
        if (e.At("<>")) {
            while (e.At("<>")) ++e.at;
            e.Blanks();
            e.Argument();
            continue;
        }
        if (e.At(":")) return Kind::Never;
        bool bare;
        wordAt = e.at;
        const std::string word = e.Word(bare);
        auto is = [&](const char* keyword) { return bare && word == keyword; };
        if (is("REM")) return Kind::Never;
        if (is("CALL")) continue;
        if (is("LH") || is("LOADHIGH")) {
            e.Blanks();
            while (e.At("/")) {
                while (e.at < e.text.size() && !e.At(" \t")) e.at += e.Width(e.at);
                e.Blanks();
            }
            continue;
        }
        if (is("IF")) {
            e.Blanks();
            size_t start = e.at;
            bool conditionBare;
            std::string condition = e.Word(conditionBare);
            if (conditionBare && condition == "NOT") {
                e.Blanks();
                start = e.at;
                condition = e.Word(conditionBare);
            }
            e.Blanks();
            if (conditionBare && (condition == "EXIST" || condition == "ERRORLEVEL") && !e.At("=")) {
                e.Argument();
                continue;
            }
            e.at = start;
            e.Argument(true);
            e.Blanks();
            if (e.text.compare(e.at, 2, "==") != 0) return Kind::Other;
            while (e.At("=")) ++e.at;
            e.Blanks();
            e.Argument();
            continue;
        }
        if (word == "KESTRO" || word == "KESTRO.EXE") return Kind::Tool;
        return word == "WIN" || word == "WIN.COM" ? Kind::Windows : Kind::Other;
    }
}

// A blank before what follows the replacement, unless one is there.
void Separate(std::string& out) {
    if (!out.empty() && out.back() != ' ' && out.back() != '\t') out += ' ';
}

// What an upper-cased line (without its line end) starts: the tool when some element of its pipe,
// before any REM or label, has KESTRO or KESTRO.EXE as its command after its prefixes, else Windows
// likewise. edited takes the line with each tool element's command word and arguments replaced by
// command, the redirections among the arguments kept after it, each after a blank, and a blank
// before a following pipe.
Kind LineKind(const std::string& line, LeadBytePredicate lead, const std::string& command = "",
              std::string* edited = nullptr) {
    Element whole{line, lead};
    Kind result = Kind::Other;
    std::string out;
    size_t start = 0;
    for (size_t i = 0; i <= line.size(); i += i < line.size() ? whole.Width(i) : 1) {
        if (i < line.size() && line[i] != '|') continue;
        Element e{line.substr(start, i - start), lead};
        size_t wordAt = 0;
        const Kind kind = CommandOf(e, wordAt);
        if (kind == Kind::Never) {
            out += line.substr(start);
            break;
        }
        if (kind == Kind::Tool) {
            result = Kind::Tool;
            out += e.text.substr(0, wordAt) + command;
            bool quoted = false;
            while (e.at < e.text.size()) {
                if (!quoted && e.At("<>")) {
                    Separate(out);
                    const size_t from = e.at;
                    while (e.At("<>")) ++e.at;
                    e.Blanks();
                    e.Argument();
                    out += e.text.substr(from, e.at - from);
                    continue;
                }
                if (e.text[e.at] == '"') quoted = !quoted;
                e.at += e.Width(e.at);
            }
            if (i < line.size()) Separate(out);
        } else {
            if (kind == Kind::Windows && result == Kind::Other) result = Kind::Windows;
            out += e.text;
        }
        if (i < line.size()) out += '|';
        start = i + 1;
    }
    if (edited) *edited = out;
    return result;
}

// Upper-cases a line as the reader does: a-z only, never a trail byte.
std::string Upper(std::string line, LeadBytePredicate lead) {
    for (size_t i = 0; i < line.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (lead(c) && i + 1 < line.size()) {
            ++i;
        } else if (c >= 'a' && c <= 'z') {
            line[i] = static_cast<char>(c - 'a' + 'A');
        }
    }
    return line;
}

// A line compared for a change of the tool's command: every byte's a-z as A-Z, no blanks at the end.
std::string Folded(const std::string& line) {
    std::string folded;
    for (char c : line) folded += c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    return folded.substr(0, folded.find_last_not_of(' ') + 1);
}

// What the rewrite must produce: DOS text up to a Ctrl-Z with CR LF, lone CR and lone LF each ending
// a line, one decision per line on its upper-cased text, every other byte kept in order, every line
// written with CR LF; in every tool line the tool's words become the command, or the command is
// added as a line of its own before the first line that starts Windows, else at the end. Refused
// for size: too many lines when the new file would have more than 1000, too large when its long
// lines need more than 1000 entries of 255 characters or an edited tool line more than one.
Model Predict(const std::string& file, const std::string& command, LeadBytePredicate lead) {
    if (command.size() > 254) return {BootUpdateOutcome::CommandTooLong, ""};
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
    size_t windowsAt = std::string::npos;
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
        line = Upper(line, lead);
        lastLength = line.size();
        const std::string content = line.substr(0, line.find('\n'));
        std::string edited;
        const Kind kind = LineKind(content, lead, command, &edited);
        if (kind == Kind::Tool) {
            ++model.toolLines;
            // A line of several pieces counts as changed.
            model.changed = model.changed || line.size() > 255 || Folded(edited) != Folded(content);
            // The edited line and its line end take one entry, or the file is too large.
            if (edited.size() > 254) return tooBig(lines);
            entries -= (line.size() + 254) / 255 - 1;
            out += edited + "\n";
        } else {
            if (kind == Kind::Windows && windowsAt == std::string::npos) windowsAt = out.size();
            out += line;
        }
    }
    if (!model.toolLines) {
        model.changed = true;
        if (entries == BootLineCount) return tooBig(lines + 1);
        if (windowsAt != std::string::npos) {
            out.insert(windowsAt, command + "\n");
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
        count += LineKind(Upper(bytes.substr(start, end - start), lead), lead) == Kind::Tool;
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
            LineKind(Upper(command, lead), lead) == Kind::Tool)
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
