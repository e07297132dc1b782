// The boot file's text in memory: DOS text read into the line store, the tool's line replaced or
// added, and the store written back.
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

// Upper-cases one piece of a line. carry says the piece starts with the trail byte of a character
// whose lead byte ended the previous piece; the result says the same of this piece's end.
bool UpperCasePiece(char* piece, size_t length, bool carry, LeadBytePredicate isLeadByte) {
    size_t start = carry ? 1 : 0;
    if (start >= length) return false;
    UpperCaseAnsi(piece + start, isLeadByte);
    for (size_t i = start; i < length;) {
        if (!isLeadByte(static_cast<unsigned char>(piece[i]))) {
            ++i;
        } else if (i + 1 == length) {
            return true;
        } else {
            i += 2;
        }
    }
    return false;
}

enum class LineRead { Line, End, NotText, ReadFailed, StoreFull };

// Reads the next line, upper-cased, into the entries from store.count on, as pieces of at most 255
// characters like fgets does; a line is decided on whole, so it is either kept or replaced whole.
LineRead ReadLine(DosTextReader& text, LeadBytePredicate isLeadByte, BootLineStore& store) {
    if (text.AtEnd()) return text.Failed() ? LineRead::ReadFailed : LineRead::End;
    bool carry = false;
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
        carry = UpperCasePiece(piece, length, carry, isLeadByte);
        ++store.count;
    } while (length > 0 && piece[length - 1] != '\n' && !text.AtEnd());
    return LineRead::Line;
}

// Counts the lines from the one that did not fit to the end of the text, and adds them to lines.
bool CountRemainingLines(DosTextReader& text, size_t& lines) {
    int last = 0;  // the line that did not fit has begun: it counts also without a line end
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

}  // namespace

BootUpdateOutcome ReadBootLines(BootFileSystem& files, const char* command, LeadBytePredicate isLeadByte,
                                BootLineStore& store, BootToolOptions* options) {
    store.count = 0;
    store.replaced = false;
    // The command replaces a line together with its line end, or follows one: both must fit an entry.
    if (strlen(command) + 1 > BootLineSize - 1) return BootUpdateOutcome::CommandTooLong;

    DosTextReader text(files);
    size_t lines = 0;  // lines of the file, however many entries each takes
    for (;;) {
        const size_t first = store.count;
        const LineRead read = ReadLine(text, isLeadByte, store);
        if (read == LineRead::End) break;
        if (read == LineRead::NotText) return BootUpdateOutcome::NotText;
        if (read == LineRead::ReadFailed) return BootUpdateOutcome::ReadFailed;
        if (read == LineRead::StoreFull) {
            if (!CountRemainingLines(text, lines)) return BootUpdateOutcome::ReadFailed;
            return lines > BootLineCount ? BootUpdateOutcome::TooManyLines : BootUpdateOutcome::TooLarge;
        }
        ++lines;
        if (StartsTheTool(DosLine(store.lines + first, store.count - first), isLeadByte, options)) {
            // The whole line becomes the command, once: a later line that starts the tool is dropped.
            store.count = first;
            if (!store.replaced) StoreCommand(store.lines[store.count++], command);
            store.replaced = true;
        }
    }

    if (!store.replaced) {
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
    // The rewrite's own reading, with a command that changes nothing: every tool line passes its
    // options on in turn, so the last one's remain.
    BootLineStore store;
    if (ReadBootLines(files, "", isLeadByte, store, &options) == BootUpdateOutcome::ReadFailed) {
        options.irq.Empty();
        options.port.Empty();
    }
    files.CloseRead();
    return options;
}
