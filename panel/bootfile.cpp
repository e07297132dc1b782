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

// DOS text as the C runtime's text mode reads it: CR LF becomes LF, a Ctrl-Z ends the text, a lone
// CR or LF stays as it is.
class DosTextReader {
public:
    explicit DosTextReader(BootFileSystem& files) : m_files(files) {}

    // The next character, or -1 at the end of the text or after a read error.
    int Next() {
        int c = NextByte();
        if (c == '\r' && PeekByte() == '\n') {
            ++m_position;
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

// Whether the text of entries first..last-1, taken as one line, contains needle.
bool LineContains(const BootLineStore& store, size_t first, size_t last, const char* needle) {
    for (size_t entry = first; entry < last; ++entry) {
        for (size_t start = 0; store.lines[entry][start]; ++start) {
            size_t e = entry, i = start, matched = 0;
            while (needle[matched]) {
                if (!store.lines[e][i]) {
                    if (++e == last) break;
                    i = 0;
                    continue;
                }
                if (store.lines[e][i] != needle[matched]) break;
                ++i;
                ++matched;
            }
            if (!needle[matched]) return true;
        }
    }
    return false;
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

        if (LineContains(store, first, store.count, "KESTRO") && !LineContains(store, first, store.count, "REM")) {
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

BootUpdateOutcome RewriteBootFile(BootFileSystem& files, const char* command, LeadBytePredicate isLeadByte) {
    if (!files.OpenRead(BootFilePath)) return BootUpdateOutcome::NoBootFile;
    BootLineStore store;
    BootUpdateOutcome outcome = ReadBootLines(files, command, isLeadByte, store);
    files.CloseRead();
    if (outcome != BootUpdateOutcome::Rewritten) return outcome;
    // Replacing by renames would bypass the user's protection, which a removal would honour.
    if (files.IsReadOnly(BootFilePath)) return BootUpdateOutcome::ReadOnly;

    // Nothing in Windows 95/98 replaces a file in one step, so the new contents are written whole
    // beside the boot file first, the old file steps aside under a backup name, the new one takes its
    // name, and only then does the backup go. A crash at any point leaves a complete boot file under
    // its name or beside it. Spare names that exist (the user's or a crashed run's) are never touched.
    char newName[32];
    bool created = false;
    for (unsigned i = 0; i < BootSpareNameCount && !created; ++i) {
        BootNewFileName(i, newName);
        created = !files.Exists(newName) && files.CreateNew(newName);
    }
    if (!created) return BootUpdateOutcome::WriteFailed;
    bool written = WriteBootLines(files, store);
    if (!files.CloseWrite()) written = false;
    if (!written) {
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
        files.Remove(newName);
        return BootUpdateOutcome::ReplaceFailed;
    }
    if (!files.Move(newName, BootFilePath)) {
        if (!files.Move(backupName, BootFilePath)) return BootUpdateOutcome::RollbackFailed;
        files.Remove(newName);
        return BootUpdateOutcome::ReplaceFailed;
    }
    // A backup that cannot be removed is a complete copy of the old file; the update itself is done.
    files.Remove(backupName);
    return BootUpdateOutcome::Rewritten;
}

bool UpdateBootFile(BootFileSystem& files, BootEnvironment& environment, LeadBytePredicate isLeadByte,
                    bool irqChanged, bool portChanged, CString irq, CString port, bool autoDetect) {
    char bootDirectory[256];
    memset(bootDirectory, 0, sizeof bootDirectory);
    if (!environment.BootDirectory(bootDirectory)) return true;
    bootDirectory[sizeof bootDirectory - 1] = '\0';
    CString command = BuildBootCommand(bootDirectory, irqChanged, portChanged, irq, port, autoDetect);
    return RewriteBootFile(files, command, isLeadByte) != BootUpdateOutcome::Rewritten;
}

bool ApplyBootSettings(BootFileSystem& files, BootEnvironment& environment, LeadBytePredicate isLeadByte,
                       PciConfigReader readConfig, bool autoDetect) {
    // With two cards the highest-numbered one is the one the boot-time tool will program.
    CardProbeResult card = CardProbe(CardProbeMode::LastMatch, readConfig);
    bool irqChanged = strcmp(AppliedSettings.irq.c_str(), card.irqText) != 0;
    bool portChanged = strcmp(AppliedSettings.port.c_str(), card.portText) != 0;
    return UpdateBootFile(files, environment, isLeadByte, irqChanged, portChanged, AppliedSettings.irq,
                          AppliedSettings.port, autoDetect);
}
