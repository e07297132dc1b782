// The safe replace of the boot file: the new contents are written beside it and take its place by
// renames, so that a complete boot file stays under its name or beside it at every moment.
#include "bootfile.h"

#include <string.h>

#include "settings.h"
#include "text_format.h"

const char BootFilePath[] = "C:\\AUTOEXEC.BAT";

void BootNewFileName(unsigned index, char (&name)[32]) {
    FormatText(name, sizeof name, "C:\\AUTOEXEC.KN%u", index % BootSpareNameCount);
}

void BootBackupFileName(unsigned index, char (&name)[32]) {
    FormatText(name, sizeof name, "C:\\AUTOEXEC.KB%u", index % BootSpareNameCount);
}

namespace {

// What an interrupted update left behind: a boot file that is missing while the old one waits under
// a backup name gets that backup back, and then the spare names (the panel's own) are cleared so
// that they never run out. A missing boot file without a backup stays missing, with whatever lies
// beside it. False when the backup, whose name goes to name, could not take the boot file's name.
bool RecoverInterruptedUpdate(BootFileSystem& files, char (&name)[32]) {
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

// The rewrite itself; cause takes the platform's reason when an operation fails, and oldFile the
// name the old boot file keeps when it cannot get its own back.
BootUpdateOutcome Rewrite(BootFileSystem& files, const char* command, LeadBytePredicate isLeadByte,
                          SaveFailure& cause, char (&oldFile)[32], bool& changed) {
    if (!RecoverInterruptedUpdate(files, oldFile)) {
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
        if (!files.Move(backupName, BootFilePath)) {
            memcpy(oldFile, backupName, sizeof oldFile);
            return BootUpdateOutcome::RollbackFailed;
        }
        files.Remove(newName);
        return BootUpdateOutcome::ReplaceFailed;
    }
    // A backup that cannot be removed is a complete copy of the old file; the update itself is done.
    files.Remove(backupName);
    changed = store.changed;
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
    case BootUpdateOutcome::TooLarge:
        return SaveFailure::TooLarge;
    case BootUpdateOutcome::CommandTooLong:
        return SaveFailure::PathTooLong;  // the Windows directory leaves no room on the tool's line
    case BootUpdateOutcome::ReadOnly:
        return SaveFailure::ReadOnly;
    case BootUpdateOutcome::NotText:
        return SaveFailure::NotText;
    default:
        return cause;
    }
}

}  // namespace

BootUpdateOutcome RewriteBootFile(BootFileSystem& files, const char* command, LeadBytePredicate isLeadByte,
                                  BootSaveReport* report) {
    SaveFailure cause = SaveFailure::Other;
    BootSaveReport unused;
    BootSaveReport& told = report ? *report : unused;
    told.nextBootChanged = false;
    const BootUpdateOutcome outcome = Rewrite(files, command, isLeadByte, cause, told.oldFile, told.nextBootChanged);
    told.failure = FailureOf(outcome, cause);
    if (outcome != BootUpdateOutcome::RollbackFailed) told.oldFile[0] = '\0';
    return outcome;
}

bool UpdateBootFile(BootFileSystem& files, BootEnvironment& environment, LeadBytePredicate isLeadByte,
                    bool irqChanged, bool portChanged, CString irq, CString port, bool autoDetect,
                    BootSaveReport* report) {
    char bootDirectory[256];
    memset(bootDirectory, 0, sizeof bootDirectory);
    if (!environment.BootDirectory(bootDirectory)) {
        if (report) report->failure = SaveFailure::PathTooLong;
        return true;
    }
    bootDirectory[sizeof bootDirectory - 1] = '\0';
    CString command = BuildBootCommand(bootDirectory, irqChanged, portChanged, irq, port, autoDetect);
    return RewriteBootFile(files, command, isLeadByte, report) != BootUpdateOutcome::Rewritten;
}

bool ApplyBootSettings(BootFileSystem& files, BootEnvironment& environment, LeadBytePredicate isLeadByte,
                       PciConfigReader readConfig, bool autoDetect, BootSaveReport* report) {
    // With two cards the highest-numbered one is the one the boot-time tool will program.
    CardProbeResult card = CardProbe(CardProbeMode::LastMatch, readConfig);
    bool irqChanged = strcmp(AppliedSettings.irq.c_str(), card.irqText) != 0;
    bool portChanged = strcmp(AppliedSettings.port.c_str(), card.portText) != 0;
    return UpdateBootFile(files, environment, isLeadByte, irqChanged, portChanged, AppliedSettings.irq,
                          AppliedSettings.port, autoDetect, report);
}
