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
    std::string bytes;  // the new file when the outcome is Rewritten
};

// Whether an upper-cased line (without its line end) starts the tool: blanks and an optional '@',
// then an optional LH or LOADHIGH and its /options, then a command word whose name after its last
// '\' or ':' (never a trail byte) is KESTRO or KESTRO.EXE. A line starting with ':' is a label.
bool StartsTool(const std::string& line, LeadBytePredicate lead) {
    const std::string blanks = " \t";
    size_t at = std::min(line.find_first_not_of(blanks), line.size());
    if (at < line.size() && line[at] == '@') at = std::min(line.find_first_not_of(blanks, at + 1), line.size());
    if (at < line.size() && line[at] == ':') return false;
    auto commandName = [&]() {
        size_t nameStart = at;
        while (at < line.size() && std::string(" \t/,;=").find(line[at]) == std::string::npos) {
            if (lead(static_cast<unsigned char>(line[at])) && at + 1 < line.size()) {
                at += 2;
                continue;
            }
            if (line[at] == '\\' || line[at] == ':') nameStart = at + 1;
            ++at;
        }
        return line.substr(nameStart, at - nameStart);
    };
    std::string name = commandName();
    if (name == "LH" || name == "LOADHIGH") {
        at = std::min(line.find_first_not_of(blanks, at), line.size());
        while (at < line.size() && line[at] == '/') {
            at = std::min(line.find_first_of(blanks, at), line.size());
            at = std::min(line.find_first_not_of(blanks, at), line.size());
        }
        name = commandName();
    }
    return name == "KESTRO" || name == "KESTRO.EXE";
}

// What the rewrite must produce: DOS text up to a Ctrl-Z with CR LF, lone CR and lone LF each ending
// a line, one decision per line on its upper-cased text, every other byte kept in order, every line
// written with CR LF, the command on a line of its own when no line was the tool's.
Model Predict(const std::string& file, const std::string& command, LeadBytePredicate lead) {
    if (command.size() > 254) return {BootUpdateOutcome::CommandTooLong, ""};
    std::string raw = file.substr(0, file.find('\x1A'));
    std::string text;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        text += raw[i] == '\r' ? '\n' : raw[i];
    }
    std::string out;
    size_t entries = 0;
    bool replaced = false;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(start, end - start);
        start = end;
        // The store takes a line in pieces of 255 characters; a zero byte ends the piece it is in.
        for (size_t piece = 0; piece < line.size(); piece += 255) {
            if (entries == BootLineCount) return {BootUpdateOutcome::TooManyLines, ""};
            if (line.find('\0', piece) < piece + 255) return {BootUpdateOutcome::NotText, ""};
            ++entries;
        }
        for (size_t i = 0; i < line.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(line[i]);
            if (lead(c) && i + 1 < line.size()) {
                ++i;
            } else if (c >= 'a' && c <= 'z') {
                line[i] = static_cast<char>(c - 'a' + 'A');
            }
        }
        if (StartsTool(line.substr(0, line.find('\n')), lead)) {
            entries -= (line.size() + 254) / 255;
            ++entries;
            out += command + "\n";
            replaced = true;
        } else {
            out += line;
        }
    }
    if (!replaced) {
        if (entries == BootLineCount) return {BootUpdateOutcome::TooManyLines, ""};
        if (!out.empty() && out.back() != '\n') out += '\n';
        out += command;
    }
    std::string bytes;
    for (char c : out) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return {BootUpdateOutcome::Rewritten, bytes};
}

std::string Padded(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string ExpectedCommand(const std::string& directory, bool irqChanged, bool portChanged, const std::string& irq,
                            const std::string& port, bool autoDetect) {
    if (autoDetect) return directory + "\\KESTRO.EXE";
    if (irqChanged) return directory + "\\KESTRO DIRQ=" + Padded(irq, 2) + (portChanged ? " DREAM=" + port : "");
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

    BootUpdateOutcome outcome = RewriteBootFile(fs, command.c_str(), lead);

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
    return 0;
}
