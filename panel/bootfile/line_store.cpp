// The boot file's text in memory: DOS text read into the line store as it is, the tool's words
// replaced or a line added, and the store written back.
#include <string.h>

#include "bootfile.h"

namespace {

// DOS text as the batch reader takes it: CR LF, a lone CR and a lone LF each end a line and come
// out as one LF; a Ctrl-Z ends the text.
class DosTextReader {
public:
    explicit DosTextReader(BootFileSystem& files) : m_files(files) {}

    // The next character, or -1 at the end of the text or after a read error.
    int Next() {
        int c = NextByte();
        if (c == '\r') {
            if (PeekByte() == '\n') ++m_position;
            c = '\n';
        }
        return c;
    }
    bool AtEnd() { return PeekByte() < 0; }
    bool Failed() const { return m_failed; }

private:
    int PeekByte() {
        if (m_ended) return -1;
        if (m_position == m_length) {
            int count = m_files.Read(m_buffer, sizeof m_buffer);
            if (count <= 0 || static_cast<unsigned>(count) > sizeof m_buffer) {
                m_failed = count != 0;
                m_ended = true;
                return -1;
            }
            m_length = static_cast<unsigned>(count);
            m_position = 0;
        }
        unsigned char c = static_cast<unsigned char>(m_buffer[m_position]);
        if (c == 0x1A) {
            m_ended = true;
            return -1;
        }
        return c;
    }
    int NextByte() {
        int c = PeekByte();
        if (c >= 0) ++m_position;
        return c;
    }

    BootFileSystem& m_files;
    char m_buffer[4096];
    unsigned m_length = 0;
    unsigned m_position = 0;
    bool m_ended = false;
    bool m_failed = false;
};

enum class LineRead { Line, End, NotText, ReadFailed, StoreFull };

// Reads the next line into the entries from store.count on, as pieces of at most 255 characters
// like fgets does; a line is decided on whole, however many pieces it takes.
LineRead ReadLine(DosTextReader& text, BootLineStore& store) {
    if (text.AtEnd()) return text.Failed() ? LineRead::ReadFailed : LineRead::End;
    char* piece;
    size_t length;
    do {
        if (store.count == BootLineCount) return LineRead::StoreFull;
        piece = store.lines[store.count];
        memset(piece, 0, BootLineSize);
        length = 0;
        while (length < BootLineSize - 1) {
            int c = text.Next();
            if (c < 0) break;
            if (c == 0) return LineRead::NotText;  // an entry ends at its first zero
            piece[length++] = static_cast<char>(c);
            if (c == '\n') break;
        }
        if (text.Failed()) return LineRead::ReadFailed;
        ++store.count;
    } while (length > 0 && piece[length - 1] != '\n' && !text.AtEnd());
    return LineRead::Line;
}

// Counts the lines after the ones read and adds them to lines; the line that did not fit has
// begun, so it counts also when nothing of it is left.
bool CountRemainingLines(DosTextReader& text, size_t& lines) {
    int last = 0;
    for (int c = text.Next(); c >= 0; c = text.Next()) {
        if (c == '\n') ++lines;
        last = c;
    }
    if (last != '\n') ++lines;
    return !text.Failed();
}

// Stores command and a line end in entry; the caller made sure they fit.
void StoreCommand(char* entry, const char* command) {
    memset(entry, 0, BootLineSize);
    const size_t length = strlen(command);
    memcpy(entry, command, length);
    entry[length] = '\n';
}

char FoldCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Whether entry holds line up to its line end, case and blanks at the end aside: the kept parts of
// an edited line are the entry's own bytes, so this tells whether the tool's command changed.
bool HoldsLine(const char* held, const char* line) {
    while (*held && *held != '\n' && FoldCase(*held) == FoldCase(*line)) ++held, ++line;
    while (*held == ' ') ++held;
    while (*line == ' ') ++line;
    return (!*held || *held == '\n') && !*line;
}

// The length of the line held from entry first on, without its line end.
size_t LineLength(const BootLineStore& store, size_t first) {
    size_t length = 0;
    for (size_t entry = first; entry < store.count; ++entry) length += strlen(store.lines[entry]);
    const char* last = store.lines[store.count - 1];
    return last[0] && last[strlen(last) - 1] == '\n' ? length - 1 : length;
}

}  // namespace

BootUpdateOutcome ReadBootLines(BootFileSystem& files, const char* command, LeadBytePredicate isLeadByte,
                                BootLineStore& store, BootToolOptions* options) {
    store.count = 0;
    store.replaced = false;
    store.changed = false;
    // A command longer than DOS reads would run cut, with a wrong option.
    if (command && strlen(command) > DosLineLimit) return BootUpdateOutcome::CommandTooLong;
    DosTextReader text(files);
    size_t lines = 0;  // lines of the file, however many entries each takes
    size_t opening = 0;  // the entries of the opening lines that only prepare the batch
    bool inOpening = true;
    auto tooBig = [&] {
        if (!CountRemainingLines(text, lines)) return BootUpdateOutcome::ReadFailed;
        return lines > BootLineCount ? BootUpdateOutcome::TooManyLines : BootUpdateOutcome::TooLarge;
    };
    for (;;) {
        const size_t first = store.count;
        const LineRead read = ReadLine(text, store);
        if (read == LineRead::End) break;
        if (read == LineRead::NotText) return BootUpdateOutcome::NotText;
        if (read == LineRead::ReadFailed) return BootUpdateOutcome::ReadFailed;
        if (read == LineRead::StoreFull) return tooBig();
        ++lines;
        const size_t length = LineLength(store, first);
        DosLineReading reading;
        ReadDosLine(store.lines[first], length, isLeadByte, reading);
        inOpening = inOpening && reading.kind == DosLineKind::Prepares;
        if (inOpening) opening = store.count;
        if (reading.kind != DosLineKind::StartsTool) continue;
        store.replaced = true;
        if (options) *options = reading.options;
        if (!command) continue;
        // Every line that starts the tool keeps all but the tool's own words. It and its edit are no
        // longer than DOS reads, so each takes one entry.
        DosLineEdit edited;
        if (SpliceDosLine(store.lines[first], length, reading, command, edited) != DosLineFit::Fits) {
            store.longLine = first;
            return BootUpdateOutcome::LineTooLong;
        }
        if (!HoldsLine(store.lines[first], edited.text)) store.changed = true;
        StoreCommand(store.lines[first], edited.text);
    }

    if (!store.replaced && command) {
        store.changed = true;
        if (store.count == BootLineCount) {
            return lines + 1 > BootLineCount ? BootUpdateOutcome::TooManyLines : BootUpdateOutcome::TooLarge;
        }
        if (opening < store.count) {
            // Before the first line that could run a program or branch: on every path, once.
            memmove(store.lines + opening + 1, store.lines + opening, (store.count - opening) * sizeof store.lines[0]);
            ++store.count;
            StoreCommand(store.lines[opening], command);
            return BootUpdateOutcome::Rewritten;
        }
        // The command goes on a line of its own, also after a last line without a line end.
        if (store.count > 0) {
            char* last = store.lines[store.count - 1];
            const size_t lastLength = strlen(last);
            if (lastLength > 0 && last[lastLength - 1] != '\n') {
                if (lastLength < BootLineSize - 1) {
                    last[lastLength] = '\n';
                } else if (store.count < BootLineCount) {
                    StoreCommand(store.lines[store.count++], "");
                }
            }
        }
        if (store.count == BootLineCount) {
            return lines + 1 > BootLineCount ? BootUpdateOutcome::TooManyLines : BootUpdateOutcome::TooLarge;
        }
        StoreCommand(store.lines[store.count++], command);
    }
    return BootUpdateOutcome::Rewritten;
}

bool WriteBootLines(BootFileSystem& files, const BootLineStore& store) {
    char out[4096];
    unsigned used = 0;
    for (size_t entry = 0; entry < store.count; ++entry) {
        for (const char* p = store.lines[entry]; *p; ++p) {
            if (used + 2 > sizeof out) {
                if (!files.Write(out, used)) return false;
                used = 0;
            }
            if (*p == '\n') out[used++] = '\r';
            out[used++] = *p;
        }
    }
    return used == 0 || files.Write(out, used);
}

BootToolOptions ReadBootToolOptions(BootFileSystem& files, LeadBytePredicate isLeadByte) {
    BootToolOptions options;
    if (!files.OpenRead(BootFilePath)) return options;
    // The rewrite's own reading, without a command: every tool line passes its options on in turn,
    // so the last one's remain.
    BootLineStore store;
    if (ReadBootLines(files, nullptr, isLeadByte, store, &options) == BootUpdateOutcome::ReadFailed) {
        options.irq.Empty();
        options.port.Empty();
    }
    files.CloseRead();
    return options;
}
