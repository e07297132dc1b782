// The DOS tool's line in C:\AUTOEXEC.BAT: which options the next boot passes to KESTRO.EXE, and the
// rewrite of the boot file that puts them there.
//
// The work is portable and runs over two seams, the file operations and the environment, so that it
// can be tested natively and under fault injection: dos_command.cpp reads a line as COMMAND.COM
// does, line_store.cpp holds the line store, safe_replace.cpp the safe replace; bootfile_win32.cpp
// supplies the Windows side and the plain entry points.
#pragma once
#include <stddef.h>

#include "card_probe.h"
#include "cstring.h"
#include "dos_command.h"
#include "mbcs.h"
#include "save_failure.h"

// The boot file and the names the rewrite uses beside it (8.3 names, so that DOS can list them).
// The spare names are the panel's own: every update clears what an interrupted one left there.
extern const char BootFilePath[16];         // "C:\AUTOEXEC.BAT"
const unsigned BootSpareNameCount = 10;     // candidates per kind: C:\AUTOEXEC.KN0..KN9, KB0..KB9
const size_t BootNameSize = 32;             // a buffer that holds any of these names
void BootNewFileName(unsigned index, char (&name)[BootNameSize]);     // the new contents before they replace it
void BootBackupFileName(unsigned index, char (&name)[BootNameSize]);  // the old file while it is replaced

// File attributes, numbered as DOS and Windows number them.
const unsigned BootAttributeReadOnly = 0x01;
const unsigned BootAttributeHidden = 0x02;
const unsigned BootAttributeSystem = 0x04;
const unsigned BootAttributeDirectory = 0x10;
const unsigned BootAttributeArchive = 0x20;

// Why a file operation failed, and the file it failed on (for LineTooLong: the line's first words).
struct BootFailure {
    SaveFailure reason = SaveFailure::None;
    char subject[BootNameSize] = {};
};

// The file operations the rewrite needs. At most one file is open for reading and one for writing.
class BootFileSystem {
public:
    // Opens an existing file for reading; false when it does not exist or cannot be opened.
    virtual bool OpenRead(const char* path) = 0;
    // Up to size bytes of the open file: the count read, 0 at its end, a negative value on error.
    virtual int Read(char* buffer, unsigned size) = 0;
    virtual void CloseRead() = 0;
    // Creates a file that must not exist yet, with the given attributes (0: none); false when it
    // exists or cannot be created.
    virtual bool CreateNew(const char* path, unsigned attributes) = 0;
    // Writes all size bytes to the created file; false when not all of them were written.
    virtual bool Write(const char* data, unsigned size) = 0;
    // Closes the created file; false when its contents may not have reached the disk whole.
    virtual bool CloseWrite() = 0;
    virtual bool Exists(const char* path) = 0;
    // The file's read-only, hidden, system, directory and archive attributes; 0 when it has none or is
    // missing.
    virtual unsigned Attributes(const char* path) = 0;
    // Renames a file; fails (and changes nothing) when the target exists.
    virtual bool Move(const char* from, const char* to) = 0;
    virtual bool Remove(const char* path) = 0;
    // Why the latest operation that failed did (Other when the reason is not known), and the file it
    // failed on (a move's source); Other on the boot file when none failed.
    virtual const BootFailure& LastFailure() = 0;

protected:
    ~BootFileSystem() = default;
};

class BootEnvironment {
public:
    // Fills the zeroed 256-byte buffer with "winbootdir", leaving it empty when the variable is not
    // set; false when the value does not fit.
    virtual bool BootDirectory(char (&buffer)[256]) = 0;

protected:
    ~BootEnvironment() = default;
};

// The copy of the boot file in memory: 1000 entries of at most 255 characters, each zero-ended,
// holding the bytes read.
const size_t BootLineCount = 1000;
struct BootLineStore {
    char lines[BootLineCount][BootLineSize];
    size_t count;     // entries in use, from entry 0 upwards
    bool replaced;    // some line starts the tool and now carries the boot command
    bool changed;     // the next boot starts the tool otherwise: a tool line's command changed, or one was added
    size_t longLine;  // LineTooLong: the entry of the tool line that DOS would not read whole
};

enum class BootUpdateOutcome {
    Rewritten,       // the new contents replaced the boot file
    Created,         // there was none: a new boot file holds the command alone
    NoBootFile,      // C:\AUTOEXEC.BAT does not exist, and none was to be created
    ReadFailed,      // it cannot be opened, or reading stopped with an error; it is left as it is
    NotText,         // the file holds a zero byte, which a line cannot carry; left as it is
    TooManyLines,    // the new contents would have more than 1000 lines; left as it is
    TooLarge,        // they would have fewer, but long lines need more than the 1000 entries; left as it is
    LineTooLong,     // a tool line is, or would become, longer than DOS reads; left as it is
    CommandTooLong,  // the command is longer than DOS reads of a line; left as it is
    ReadOnly,        // the user protected the file; left as it is
    WriteFailed,     // the new contents could not be written whole; the old file is left as it is
    ReplaceFailed,   // the new file could not take the old one's place; the old one is back
    RollbackFailed,  // the boot file is missing and a complete copy stays beside it: neither file
                     // could take its name, or a backup left by an interrupted update could not
};

// Reads DOS text into the store, byte for byte. With a command, the tool's words (see
// ReadDosLine) become command in every line that starts the tool, so that each menu entry and
// condition that ran the tool runs it with the new options; when no line starts the tool, the
// command is added as a line of its own after the opening lines that only prepare the batch (see
// DosLineKind), so that it runs once on every path before anything can branch, or at the end.
// Returns Rewritten when the store holds the new contents, or the reason it cannot. options, when
// given, takes the options of each tool line in turn. store.changed tells whether a tool line's text
// changed (case and blanks at its end aside) or the command was added. Without a command the lines
// are only read.
BootUpdateOutcome ReadBootLines(BootFileSystem& files, const char* command, LeadBytePredicate isLeadByte,
                                BootLineStore& store, BootToolOptions* options = nullptr);
// Writes the entries in order as DOS text: every LF goes out as CR LF. False when a write failed.
bool WriteBootLines(BootFileSystem& files, const BootLineStore& store);

// Portable: reads the boot file through files (read only); the LAST line that starts the tool
// counts (it runs last at boot). Missing/unreadable file: both empty.
BootToolOptions ReadBootToolOptions(BootFileSystem& files, LeadBytePredicate isLeadByte);

// Where the old boot file is after an update.
enum class OldBootFile {
    InPlace,   // under its name, as it was (or there was none)
    Restored,  // it was missing, and came back from spareFile, a backup an interrupted update left
    Missing,   // the boot file is missing; spareFile holds the old one (the next update puts it back)
};

// What the user is told of an update: failure.reason is None when the file was rewritten or created,
// or when there is none; newFileLine, when not empty, is the command that a new boot file would hold
// because there is none and the apply has a choice to write.
struct BootSaveReport {
    BootFailure failure;
    OldBootFile old = OldBootFile::InPlace;
    char spareFile[BootNameSize] = {};
    char newFileLine[BootLineSize];

    BootSaveReport() { newFileLine[0] = '\0'; }
    bool nextBootChanged = false;  // the file was rewritten or created and starts the tool otherwise than before
};

// What the rewrite does when there is no boot file.
enum class MissingBootFile { Leave, Create };

// Rewrites the boot file with the given command, keeping a complete boot file (the old or the new one)
// under its name or beside it at every moment. First puts right what an interrupted update left:
// restores a missing boot file from its backup (a file, never a folder) and clears the spare names.
// Without a boot file it leaves none, or creates one holding the command in the same safe way.
// report, when given, takes what the user is told; it starts fresh, or as an update that found no
// boot file left it.
BootUpdateOutcome RewriteBootFile(BootFileSystem& files, const char* command, LeadBytePredicate isLeadByte,
                                  BootSaveReport* report = nullptr, MissingBootFile missing = MissingBootFile::Leave);

// The update with the seams passed in; true when the file was not rewritten (report as above). A
// missing boot file that is left missing is offered when Auto Detect or an option is on the command.
bool UpdateBootFile(BootFileSystem& files, BootEnvironment& environment, LeadBytePredicate isLeadByte,
                    bool irqChanged, bool portChanged, CString irq, CString port, bool autoDetect,
                    BootSaveReport* report = nullptr, MissingBootFile missing = MissingBootFile::Leave);
// Compares AppliedSettings with the card's last match and updates the boot file; true when not rewritten.
bool ApplyBootSettings(BootFileSystem& files, BootEnvironment& environment, LeadBytePredicate isLeadByte,
                       PciConfigReader readConfig, bool autoDetect, BootSaveReport* report = nullptr,
                       MissingBootFile missing = MissingBootFile::Leave);

// The Windows entry points (bootfile_win32.cpp): the real file system, environment and code page.
// Updates the real boot file; report (a fresh one, or one that offered a new boot file, which Create
// then creates) takes what the user is told.
void ApplyBootSettings(bool autoDetect, BootSaveReport& report, MissingBootFile missing = MissingBootFile::Leave);
// Windows: the same on the real boot file.
BootToolOptions ReadBootToolOptions();
