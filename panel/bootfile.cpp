#include "bootfile.h"

#include <string.h>

#include "settings.h"
#include "text_format.h"

const char BootFilePath[] = "c:\\autoexec.bat";

void BootNewFileName(unsigned index, char (&name)[32]) {
    FormatText(name, sizeof name, "c:\\autoexec.kn%u", index % BootSpareNameCount);
}

void BootBackupFileName(unsigned index, char (&name)[32]) {
    FormatText(name, sizeof name, "c:\\autoexec.kb%u", index % BootSpareNameCount);
}

CString BuildBootCommand(const char* bootDirectory, bool irqChanged, bool portChanged, const char* irq,
                         const char* port, bool autoDetect) {
    CString command;
    if (autoDetect) {
        // Without options the tool finds the interrupt and the address itself.
        command.Format("%s\\KESTRO.EXE", bootDirectory);
    } else if (irqChanged) {
        command.Format("%s\\KESTRO DIRQ=%-2s", bootDirectory, irq);
        if (portChanged) {
            command += " DREAM=";
            command += port;
        }
    } else {
        command.Format("%s\\KESTRO DREAM=%-3s", bootDirectory, port);
    }
    return command;
}

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

// One line held in entries first..last-1, read as a single text.
class LineCursor {
public:
    LineCursor(const BootLineStore& store, size_t first, size_t last)
        : m_store(store), m_entry(first), m_last(last) {}

    // The byte at the cursor; 0 at the line's end (its line feed, or the end of its last entry).
    unsigned char Peek() {
        while (m_entry < m_last && !m_store.lines[m_entry][m_index]) {
            ++m_entry;
            m_index = 0;
        }
        if (m_entry == m_last) return 0;
        unsigned char c = static_cast<unsigned char>(m_store.lines[m_entry][m_index]);
        return c == '\n' ? 0 : c;
    }
    void Advance() {
        if (Peek()) ++m_index;
    }

private:
    const BootLineStore& m_store;
    size_t m_entry;
    size_t m_last;
    size_t m_index = 0;
};

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }

// What ends a command word for COMMAND.COM besides a blank: a switch and its other delimiters.
bool EndsCommandWord(unsigned char c) { return c == 0 || IsBlank(c) || c == '/' || c == ',' || c == ';' || c == '='; }

void SkipBlanks(LineCursor& line) {
    while (IsBlank(line.Peek())) line.Advance();
}

// Reads the command word at the cursor and gives its file name: the part after its last '\' or ':'.
// A name too long for the buffer comes back empty.
void ReadCommandName(LineCursor& line, LeadBytePredicate isLeadByte, char (&name)[16]) {
    size_t length = 0;
    bool tooLong = false;
    for (unsigned char c = line.Peek(); !EndsCommandWord(c); c = line.Peek()) {
        line.Advance();
        if (c == '\\' || c == ':') {
            length = 0;
            tooLong = false;
            continue;
        }
        // A trail byte is never a separator, whatever it looks like.
        unsigned char trail = isLeadByte(c) ? line.Peek() : 0;
        if (trail) line.Advance();
        size_t size = trail ? 2 : 1;
        if (length + size >= sizeof name) {
            tooLong = true;
            continue;
        }
        name[length++] = static_cast<char>(c);
        if (trail) name[length++] = static_cast<char>(trail);
    }
    name[tooLong ? 0 : length] = '\0';
}

// Whether the (upper-cased) line starts the tool: after blanks and an optional '@', and after an
// optional LH or LOADHIGH with its /options, the command word names KESTRO or KESTRO.EXE. A REM
// line, a PATH or SET line naming the tool's directory, or a label never does.
bool StartsTheTool(const BootLineStore& store, size_t first, size_t last, LeadBytePredicate isLeadByte) {
    LineCursor line(store, first, last);
    SkipBlanks(line);
    if (line.Peek() == '@') {
        line.Advance();
        SkipBlanks(line);
    }
    if (line.Peek() == ':') return false;  // a label such as :KESTRO runs nothing
    char name[16];
    ReadCommandName(line, isLeadByte, name);
    if (strcmp(name, "LH") == 0 || strcmp(name, "LOADHIGH") == 0) {
        SkipBlanks(line);
        while (line.Peek() == '/') {  // /L:1;2 /S and the like
            while (line.Peek() && !IsBlank(line.Peek())) line.Advance();
            SkipBlanks(line);
        }
        ReadCommandName(line, isLeadByte, name);
    }
    return strcmp(name, "KESTRO") == 0 || strcmp(name, "KESTRO.EXE") == 0;
}

void StoreCommand(char* entry, const char* prefix, const char* command, const char* suffix) {
    memset(entry, 0, BootLineSize);
    FormatText(entry, BootLineSize, "%s%s%s", prefix, command, suffix);
}

// Writes the entries in order as DOS text: every LF goes out as CR LF.
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

// What an interrupted update left behind: a boot file that is missing while the old one waits under
// a backup name gets that backup back, and then the spare names (the panel's own) are cleared so
// that they never run out. A missing boot file without a backup stays missing, with whatever lies
// beside it. False when the backup could not take the boot file's name.
bool RecoverInterruptedUpdate(BootFileSystem& files) {
    char name[32];
    if (!files.Exists(BootFilePath)) {
        // An update takes the lowest free backup name, so the highest one present is the latest.
        bool found = false;
        for (unsigned i = BootSpareNameCount; i-- > 0 && !found;) {
            BootBackupFileName(i, name);
            found = files.Exists(name);
        }
        if (!found) return true;
        if (!files.Move(name, BootFilePath)) return false;
    }
    for (unsigned i = 0; i < BootSpareNameCount; ++i) {
        BootNewFileName(i, name);
        if (files.Exists(name)) files.Remove(name);
        BootBackupFileName(i, name);
        if (files.Exists(name)) files.Remove(name);
    }
    return true;
}

}  // namespace

BootUpdateOutcome ReadBootLines(BootFileSystem& files, const char* command, LeadBytePredicate isLeadByte,
                                BootLineStore& store) {
    store.count = 0;
    store.replaced = false;
    // The command replaces a line together with its line end, or follows one: both must fit an entry.
    if (strlen(command) + 1 > BootLineSize - 1) return BootUpdateOutcome::CommandTooLong;

    DosTextReader text(files);
    while (!text.AtEnd()) {
        // One line, read as pieces of at most 255 characters like fgets does; the decision is taken
        // on the whole line, so that a long line is either kept whole or replaced whole.
        size_t first = store.count;
        bool carry = false;
        char* piece;
        size_t length;
        do {
            if (store.count == BootLineCount) return BootUpdateOutcome::TooManyLines;
            piece = store.lines[store.count];
            memset(piece, 0, BootLineSize);
            length = 0;
            while (length < BootLineSize - 1) {
                int c = text.Next();
                if (c < 0) break;
                if (c == 0) return BootUpdateOutcome::NotText;  // an entry ends at its first zero
                piece[length++] = static_cast<char>(c);
                if (c == '\n') break;
            }
            if (text.Failed()) return BootUpdateOutcome::ReadFailed;
            carry = UpperCasePiece(piece, length, carry, isLeadByte);
            ++store.count;
        } while (length > 0 && piece[length - 1] != '\n' && !text.AtEnd());

        if (StartsTheTool(store, first, store.count, isLeadByte)) {
            store.count = first;
            StoreCommand(store.lines[store.count++], "", command, "\n");
            store.replaced = true;
        }
    }
    if (text.Failed()) return BootUpdateOutcome::ReadFailed;

    if (!store.replaced) {
        if (store.count == BootLineCount) return BootUpdateOutcome::TooManyLines;
        // The command goes on a line of its own, also after a last line without a line end.
        const char* prefix = "";
        if (store.count > 0) {
            const char* last = store.lines[store.count - 1];
            size_t lastLength = strlen(last);
            if (lastLength > 0 && last[lastLength - 1] != '\n') prefix = "\n";
        }
        StoreCommand(store.lines[store.count++], prefix, command, "");
    }
    return BootUpdateOutcome::Rewritten;
}

namespace {

// The rewrite itself; cause takes the platform's reason when an operation fails.
BootUpdateOutcome Rewrite(BootFileSystem& files, const char* command, LeadBytePredicate isLeadByte,
                          SaveFailure& cause) {
    if (!RecoverInterruptedUpdate(files)) {
        cause = files.LastFailure();
        return BootUpdateOutcome::RollbackFailed;
    }
    if (!files.OpenRead(BootFilePath)) {
        // A boot file that is there but cannot be opened is one that another program holds.
        if (!files.Exists(BootFilePath)) return BootUpdateOutcome::NoBootFile;
        cause = files.LastFailure();
        return BootUpdateOutcome::ReadFailed;
    }
    BootLineStore store;
    BootUpdateOutcome outcome = ReadBootLines(files, command, isLeadByte, store);
    if (outcome == BootUpdateOutcome::ReadFailed) cause = files.LastFailure();
    files.CloseRead();
    if (outcome != BootUpdateOutcome::Rewritten) return outcome;
    const unsigned attributes = files.Attributes(BootFilePath);
    // Replacing by renames would bypass the user's protection, which a removal would honour.
    if (attributes & BootAttributeReadOnly) return BootUpdateOutcome::ReadOnly;
    // The new file is the same boot file to the user: hidden, system and archive carry over.
    const unsigned kept = attributes & (BootAttributeHidden | BootAttributeSystem | BootAttributeArchive);

    // Nothing in Windows 95/98 replaces a file in one step, so the new contents are written whole
    // beside the boot file first, the old file steps aside under a backup name, the new one takes its
    // name, and only then does the backup go. A crash at any point leaves a complete boot file under
    // its name or beside it, which the next update puts right. A spare name that could not be
    // cleared is passed over.
    char newName[32];
    bool created = false;
    for (unsigned i = 0; i < BootSpareNameCount && !created; ++i) {
        BootNewFileName(i, newName);
        created = !files.Exists(newName) && files.CreateNew(newName, kept);
    }
    if (!created) {
        cause = files.LastFailure();
        return BootUpdateOutcome::WriteFailed;
    }
    bool written = WriteBootLines(files, store);
    if (!files.CloseWrite()) written = false;
    if (!written) {
        cause = files.LastFailure();
        files.Remove(newName);
        return BootUpdateOutcome::WriteFailed;
    }

    char backupName[32];
    bool movedAside = false;
    for (unsigned i = 0; i < BootSpareNameCount && !movedAside; ++i) {
        BootBackupFileName(i, backupName);
        movedAside = !files.Exists(backupName) && files.Move(BootFilePath, backupName);
    }
    if (!movedAside) {
        cause = files.LastFailure();
        files.Remove(newName);
        return BootUpdateOutcome::ReplaceFailed;
    }
    if (!files.Move(newName, BootFilePath)) {
        cause = files.LastFailure();
        if (!files.Move(backupName, BootFilePath)) return BootUpdateOutcome::RollbackFailed;
        files.Remove(newName);
        return BootUpdateOutcome::ReplaceFailed;
    }
    // A backup that cannot be removed is a complete copy of the old file; the update itself is done.
    files.Remove(backupName);
    return BootUpdateOutcome::Rewritten;
}

// What the user is told of an outcome. A missing boot file is no failure: it stays missing.
SaveFailure FailureOf(BootUpdateOutcome outcome, SaveFailure cause) {
    switch (outcome) {
    case BootUpdateOutcome::Rewritten:
    case BootUpdateOutcome::NoBootFile:
        return SaveFailure::None;
    case BootUpdateOutcome::TooManyLines:
        return SaveFailure::TooManyLines;
    case BootUpdateOutcome::CommandTooLong:
        return SaveFailure::PathTooLong;  // the Windows directory leaves no room on the tool's line
    case BootUpdateOutcome::ReadOnly:
        return SaveFailure::ReadOnly;
    case BootUpdateOutcome::NotText:
        return SaveFailure::Other;
    default:
        return cause;
    }
}

}  // namespace

BootUpdateOutcome RewriteBootFile(BootFileSystem& files, const char* command, LeadBytePredicate isLeadByte,
                                  SaveFailure* failure) {
    SaveFailure cause = SaveFailure::Other;
    const BootUpdateOutcome outcome = Rewrite(files, command, isLeadByte, cause);
    if (failure) *failure = FailureOf(outcome, cause);
    return outcome;
}

bool UpdateBootFile(BootFileSystem& files, BootEnvironment& environment, LeadBytePredicate isLeadByte,
                    bool irqChanged, bool portChanged, CString irq, CString port, bool autoDetect,
                    SaveFailure* failure) {
    char bootDirectory[256];
    memset(bootDirectory, 0, sizeof bootDirectory);
    if (!environment.BootDirectory(bootDirectory)) {
        if (failure) *failure = SaveFailure::PathTooLong;
        return true;
    }
    bootDirectory[sizeof bootDirectory - 1] = '\0';
    CString command = BuildBootCommand(bootDirectory, irqChanged, portChanged, irq, port, autoDetect);
    return RewriteBootFile(files, command, isLeadByte, failure) != BootUpdateOutcome::Rewritten;
}

bool ApplyBootSettings(BootFileSystem& files, BootEnvironment& environment, LeadBytePredicate isLeadByte,
                       PciConfigReader readConfig, bool autoDetect, SaveFailure* failure) {
    // With two cards the highest-numbered one is the one the boot-time tool will program.
    CardProbeResult card = CardProbe(CardProbeMode::LastMatch, readConfig);
    bool irqChanged = strcmp(AppliedSettings.irq.c_str(), card.irqText) != 0;
    bool portChanged = strcmp(AppliedSettings.port.c_str(), card.portText) != 0;
    return UpdateBootFile(files, environment, isLeadByte, irqChanged, portChanged, AppliedSettings.irq,
                          AppliedSettings.port, autoDetect, failure);
}
