#include <windows.h>

#include "save_failure.h"

bool IsOrdinaryFile(const char* path) {
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool onDisk = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return onDisk;
}

bool IsReadOnlyFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != 0xFFFFFFFF && (attributes & FILE_ATTRIBUTE_READONLY);
}

SaveFailure SaveFailureOfError(unsigned long error, const char* path) {
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return SaveFailure::InUse;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return SaveFailure::DiskFull;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
        return SaveFailure::PathTooLong;
    case ERROR_WRITE_PROTECT:
        return SaveFailure::ReadOnly;
    case ERROR_ACCESS_DENIED:
        // Also what a read-only file answers to a write.
        return IsReadOnlyFile(path) ? SaveFailure::ReadOnly : SaveFailure::Other;
    default:
        return SaveFailure::Other;
    }
}
