// The boot-file update on the real system: Win32 file operations that Windows 95 offers, the
// "winbootdir" variable, and the lead bytes of the system's ANSI code page.
#include <windows.h>

#include <string.h>

#include "afxwin.h"
#include "bootfile.h"
#include "settings.h"

namespace {

class Win32BootFileSystem final : public BootFileSystem {
public:
    Win32BootFileSystem() { memcpy(m_failure.subject, BootFilePath, sizeof BootFilePath); }
    Win32BootFileSystem(const Win32BootFileSystem&) = delete;
    Win32BootFileSystem& operator=(const Win32BootFileSystem&) = delete;
    ~Win32BootFileSystem() {
        CloseRead();
        if (m_write != INVALID_HANDLE_VALUE) CloseHandle(m_write);
    }

    bool OpenRead(const char* path) override {
        CloseRead();
        m_read = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             NULL);
        return Succeeded(m_read != INVALID_HANDLE_VALUE, path);
    }

    int Read(char* buffer, unsigned size) override {
        DWORD count = 0;
        if (!Succeeded(ReadFile(m_read, buffer, size, &count, NULL), BootFilePath)) return -1;
        return static_cast<int>(count);
    }

    void CloseRead() override {
        if (m_read != INVALID_HANDLE_VALUE) CloseHandle(m_read);
        m_read = INVALID_HANDLE_VALUE;
    }

    bool CreateNew(const char* path, unsigned attributes) override {
        // The DOS attribute bits are Windows' own; FILE_ATTRIBUTE_NORMAL stands for none of them.
        const DWORD flags = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
        m_write = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, flags, NULL);
        lstrcpynA(m_writePath, path, sizeof m_writePath);
        return Succeeded(m_write != INVALID_HANDLE_VALUE, path);
    }

    bool Write(const char* data, unsigned size) override {
        DWORD count = 0;
        if (!Succeeded(WriteFile(m_write, data, size, &count, NULL), m_writePath)) return false;
        // A short write is what a full disk gives.
        if (count != size) Fail(SaveFailure::DiskFull, m_writePath);
        return count == size;
    }

    bool CloseWrite() override {
        // The new file replaces the user's boot file next: its bytes must be on the disk first.
        bool flushed = Succeeded(FlushFileBuffers(m_write), m_writePath);
        bool closed = Succeeded(CloseHandle(m_write), m_writePath);
        m_write = INVALID_HANDLE_VALUE;
        return flushed && closed;
    }

    bool Exists(const char* path) override { return GetFileAttributesA(path) != 0xFFFFFFFF; }

    unsigned Attributes(const char* path) override {
        DWORD attributes = GetFileAttributesA(path);
        if (attributes == 0xFFFFFFFF) return 0;
        return attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                             FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE);
    }

    // MoveFileA refuses an existing target, which is what keeps a spare name's owner safe.
    bool Move(const char* from, const char* to) override { return Succeeded(MoveFileA(from, to), from); }

    bool Remove(const char* path) override { return Succeeded(DeleteFileA(path), path); }

    const BootFailure& LastFailure() override { return m_failure; }

private:
    // Keeps the reason of a failed operation on path; the result is whether it succeeded.
    bool Succeeded(bool succeeded, const char* path) {
        if (!succeeded) Fail(SaveFailureOfError(GetLastError(), path), path);
        return succeeded;
    }

    void Fail(SaveFailure reason, const char* path) {
        m_failure.reason = reason;
        lstrcpynA(m_failure.subject, path, sizeof m_failure.subject);
    }

    BootFailure m_failure = {SaveFailure::Other, {}};
    char m_writePath[BootNameSize] = {};
    HANDLE m_read = INVALID_HANDLE_VALUE;
    HANDLE m_write = INVALID_HANDLE_VALUE;
};

class Win32BootEnvironment final : public BootEnvironment {
public:
    bool BootDirectory(char (&buffer)[256]) override { return ReadWindowsDirectory(buffer); }
};

}  // namespace

void ApplyBootSettings(bool autoDetect, BootSaveReport& report, MissingBootFile missing) {
    Win32BootFileSystem files;
    Win32BootEnvironment environment;
    ApplyBootSettings(files, environment, AfxIsLeadByte, PciConfigRead, autoDetect, &report, missing);
}

BootToolOptions ReadBootToolOptions() {
    Win32BootFileSystem files;
    return ReadBootToolOptions(files, AfxIsLeadByte);
}
