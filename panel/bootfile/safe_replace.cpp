// The safe replace of the boot file: the new contents are written beside it and take its place by
// renames, so that a complete boot file stays under its name or beside it at every moment.
#include "bootfile.h"

#include <string.h>

#include "settings.h"
#include "text_format.h"

const char BootFilePath[16] = "C:\\AUTOEXEC.BAT";

void BootNewFileName(unsigned index, char (&name)[BootNameSize]) {
    FormatText(name, sizeof name, "C:\\AUTOEXEC.KN%u", index % BootSpareNameCount);
}

void BootBackupFileName(unsigned index, char (&name)[BootNameSize]) {
    FormatText(name, sizeof name, "C:\\AUTOEXEC.KB%u", index % BootSpareNameCount);
}

namespace {

// What an interrupted update left behind: a boot file that is missing while the old one waits under
// a backup name gets that backup back, and then the spare names (the panel's own) are cleared so
// that they never run out. Only a file is a backup: a folder under a backup name never takes the
// boot file's place. A missing boot file without a backup stays missing, with whatever lies beside
// it. False when the backup could not take the boot file's name; told says where it is.
bool RecoverInterruptedUpdate(BootFileSystem& files, BootSaveReport& told) {
    char name[BootNameSize];
    if (!files.Exists(BootFilePath)) {
        // An update takes the lowest free backup name, so the highest one present is the latest.
        bool found = false;
        for (unsigned i = BootSpareNameCount; i-- > 0 && !found;) {
            BootBackupFileName(i, name);
            found = files.Exists(name) && !(files.Attributes(name) & BootAttributeDirectory);
        }
        if (!found) return true;
        memcpy(told.spareFile, name, sizeof name);
        if (!files.Move(name, BootFilePath)) {
            told.old = OldBootFile::Missing;
            return false;
        }
        told.old = OldBootFile::Restored;
    }
    for (unsigned i = 0; i < BootSpareNameCount; ++i) {
        BootNewFileName(i, name);
        if (files.Exists(name)) files.Remove(name);
        BootBackupFileName(i, name);
        if (files.Exists(name)) files.Remove(name);
    }
    return true;
}

// The first words of a line, for a message: as many whole characters as fit, and "..." when more
// follows.
void FirstWords(const char* line, char (&words)[BootNameSize], LeadBytePredicate isLeadByte) {
    size_t length = 0;
    for (size_t width; line[length] && line[length] != '\n'; length += width) {
        const char next = line[length + 1];
        width = isLeadByte(static_cast<unsigned char>(line[length])) && next && next != '\n' ? 2 : 1;
        if (length + width > sizeof words - 4) break;
    }
    memcpy(words, line, length);
    strcpy(words + length, line[length] && line[length] != '\n' ? "..." : "");
}

// The outcome of an operation that failed; told takes the file system's reason and file.
BootUpdateOutcome Failed(BootFileSystem& files, BootUpdateOutcome outcome, BootSaveReport& told) {
    told.failure = files.LastFailure();
    return outcome;
}

// The rewrite itself; told takes the reason and the file of a failed operation, and where the old
// boot file is.
BootUpdateOutcome Rewrite(BootFileSystem& files, const char* command, LeadBytePredicate isLeadByte,
                          MissingBootFile missing, BootSaveReport& told) {
    if (!RecoverInterruptedUpdate(files, told)) return Failed(files, BootUpdateOutcome::RollbackFailed, told);
    BootLineStore store;
    unsigned kept = 0;
    const bool existed = files.OpenRead(BootFilePath);
    if (existed) {
        BootUpdateOutcome outcome = ReadBootLines(files, command, isLeadByte, store);
        if (outcome == BootUpdateOutcome::ReadFailed) told.failure = files.LastFailure();
        if (outcome == BootUpdateOutcome::LineTooLong) {
            told.failure.reason = SaveFailure::LineTooLong;
            FirstWords(store.lines[store.longLine], told.failure.subject, isLeadByte);
        }
        files.CloseRead();
        if (outcome != BootUpdateOutcome::Rewritten) return outcome;
        const unsigned attributes = files.Attributes(BootFilePath);
        // Replacing by renames would bypass the user's protection, which a removal would honour.
        if (attributes & BootAttributeReadOnly) return BootUpdateOutcome::ReadOnly;
        // The new file is the same boot file to the user: hidden, system and archive carry over.
        kept = attributes & (BootAttributeHidden | BootAttributeSystem | BootAttributeArchive);
    } else if (files.Exists(BootFilePath)) {
        // A boot file that is there but cannot be opened is one that another program holds, or a
        // folder.
        return Failed(files, BootUpdateOutcome::ReadFailed, told);
    } else if (missing == MissingBootFile::Leave) {
        return BootUpdateOutcome::NoBootFile;
    } else if (strlen(command) > DosLineLimit) {
        return BootUpdateOutcome::CommandTooLong;  // as ReadBootLines: DOS would read it cut
    }

    // Nothing in Windows 95/98 replaces a file in one step, so the new contents are written whole
    // beside the boot file first, the old file steps aside under a backup name, the new one takes its
    // name, and only then does the backup go. A crash at any point leaves a complete boot file under
    // its name or beside it, which the next update puts right. A spare name that could not be
    // cleared is passed over. A new boot file takes the same way, with no old file to step aside.
    char newName[BootNameSize];
    bool created = false;
    for (unsigned i = 0; i < BootSpareNameCount && !created; ++i) {
        BootNewFileName(i, newName);
        created = !files.Exists(newName) && files.CreateNew(newName, kept);
    }
    if (!created) return Failed(files, BootUpdateOutcome::WriteFailed, told);
    bool written = existed ? WriteBootLines(files, store)
                           : files.Write(command, strlen(command)) && files.Write("\r\n", 2);
    if (!files.CloseWrite()) written = false;
    if (!written) {
        told.failure = files.LastFailure();
        files.Remove(newName);
        return BootUpdateOutcome::WriteFailed;
    }

    char backupName[BootNameSize];
    bool movedAside = !existed;  // a new boot file has no old one to move
    for (unsigned i = 0; i < BootSpareNameCount && !movedAside; ++i) {
        BootBackupFileName(i, backupName);
        movedAside = !files.Exists(backupName) && files.Move(BootFilePath, backupName);
    }
    if (!movedAside) {
        told.failure = files.LastFailure();
        files.Remove(newName);
        return BootUpdateOutcome::ReplaceFailed;
    }
    if (!files.Move(newName, BootFilePath)) {
        told.failure = files.LastFailure();
        if (existed && !files.Move(backupName, BootFilePath)) {
            told.old = OldBootFile::Missing;
            memcpy(told.spareFile, backupName, sizeof backupName);
            return BootUpdateOutcome::RollbackFailed;
        }
        files.Remove(newName);
        return BootUpdateOutcome::ReplaceFailed;
    }
    told.nextBootChanged = !existed || store.changed;
    if (!existed) return BootUpdateOutcome::Created;
    // A backup that cannot be removed is a complete copy of the old file; the update itself is done.
    files.Remove(backupName);
    return BootUpdateOutcome::Rewritten;
}

// What the user is told of an outcome that the boot file's contents or attributes decided; None for
// the others (a line DOS would not read whole is told with its first words where it is found).
SaveFailure FailureOfBootFile(BootUpdateOutcome outcome) {
    switch (outcome) {
    case BootUpdateOutcome::TooManyLines:
        return SaveFailure::TooManyLines;
    case BootUpdateOutcome::TooLarge:
        return SaveFailure::TooLarge;
    case BootUpdateOutcome::CommandTooLong:
        return SaveFailure::PathTooLong;  // the Windows directory leaves no room on the tool's line
    case BootUpdateOutcome::ReadOnly:
        return SaveFailure::ReadOnly;
    case BootUpdateOutcome::NotText:
        return SaveFailure::NotText;
    default:
        return SaveFailure::None;
    }
}

void BlameBootFile(BootFailure& failure, SaveFailure reason) {
    failure.reason = reason;
    memcpy(failure.subject, BootFilePath, sizeof BootFilePath);
}

}  // namespace

BootUpdateOutcome RewriteBootFile(BootFileSystem& files, const char* command, LeadBytePredicate isLeadByte,
                                  BootSaveReport* report, MissingBootFile missing) {
    BootSaveReport unused;
    BootSaveReport& told = report ? *report : unused;
    const BootUpdateOutcome outcome = Rewrite(files, command, isLeadByte, missing, told);
    const SaveFailure reason = FailureOfBootFile(outcome);
    if (reason != SaveFailure::None) BlameBootFile(told.failure, reason);
    return outcome;
}

bool UpdateBootFile(BootFileSystem& files, BootEnvironment& environment, LeadBytePredicate isLeadByte,
                    bool irqChanged, bool portChanged, CString irq, CString port, bool autoDetect,
                    BootSaveReport* report, MissingBootFile missing) {
    char bootDirectory[256];
    memset(bootDirectory, 0, sizeof bootDirectory);
    if (!environment.BootDirectory(bootDirectory)) {
        if (report) BlameBootFile(report->failure, SaveFailure::PathTooLong);
        return true;
    }
    bootDirectory[sizeof bootDirectory - 1] = '\0';
    CString command = BuildBootCommand(bootDirectory, irqChanged, portChanged, irq, port, autoDetect);
    const BootUpdateOutcome outcome = RewriteBootFile(files, command, isLeadByte, report, missing);
    // Without a boot file the choice would be lost: the user is offered one that holds it. The choice
    // is Auto Detect, or an option after the directory (Auto Detect's line has none, as has the line
    // of an apply with no interrupt or address to write).
    if (outcome == BootUpdateOutcome::NoBootFile && report &&
        (autoDetect || strchr(command.c_str() + strlen(bootDirectory), '='))) {
        // A command too long to keep is offered cut: creating the file then tells why it cannot.
        const size_t length = command.GetLength() < BootLineSize ? command.GetLength() : BootLineSize - 1;
        memcpy(report->newFileLine, command.c_str(), length);
        report->newFileLine[length] = '\0';
    }
    return outcome != BootUpdateOutcome::Rewritten;
}

bool ApplyBootSettings(BootFileSystem& files, BootEnvironment& environment, LeadBytePredicate isLeadByte,
                       PciConfigReader readConfig, bool autoDetect, BootSaveReport* report,
                       MissingBootFile missing) {
    // With two cards the highest-numbered one is the one the boot-time tool will program.
    CardProbeResult card = CardProbe(CardProbeMode::LastMatch, readConfig);
    bool irqChanged = strcmp(AppliedSettings.irq.c_str(), card.irqText) != 0;
    bool portChanged = strcmp(AppliedSettings.port.c_str(), card.portText) != 0;
    return UpdateBootFile(files, environment, isLeadByte, irqChanged, portChanged, AppliedSettings.irq,
                          AppliedSettings.port, autoDetect, report, missing);
}
