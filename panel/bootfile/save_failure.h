// Why a file that the panel writes (the INI file, the boot file) kept its old contents, in the
// terms the user is told.
#pragma once

enum class SaveFailure {
    None,          // saved, or nothing to save
    ReadOnly,      // the file (or its disk) is write-protected
    InUse,         // another program has the file open
    TooManyLines,  // the boot file has more lines than the panel can hold
    TooLarge,      // the boot file's long lines take more room than the panel has
    NotText,       // the boot file holds a zero byte: it is not a text file
    LineTooLong,   // a tool line of the boot file is, or would become, longer than DOS reads
    PathTooLong,   // the file's path, or the Windows directory on the tool's line, is too long
    DiskFull,
    Other,
};

// Windows (save_failure_win32.cpp): the reason for a Windows error code of an operation on path.
SaveFailure SaveFailureOfError(unsigned long error, const char* path);
// Whether path names an existing file that the user made read-only.
bool IsReadOnlyFile(const char* path);
// Whether path names an existing file on a disk: not a missing path, a folder or a device.
bool IsOrdinaryFile(const char* path);
