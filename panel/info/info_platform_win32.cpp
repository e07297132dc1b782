// The Information page's platform services: GetVersionExA, the environment, the version
// resources API and the framework's file status.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "afxfile.h"
#include "info_texts.h"
#include "settings.h"

namespace {

// A version resource is at most 64 KiB (its length is a WORD); the platform may ask for a few
// times that for its own conversions. A larger size is garbage (a 16-bit resource shorter than its
// fixed file information makes some platforms report one) and is not allocated.
const DWORD VersionBlockCeiling = 0x40000;

class Win32InfoPlatform : public InfoPlatform {
public:
    void GetWindowsVersion(unsigned long* major, unsigned long* minor, unsigned long* build) override {
        OSVERSIONINFOA version;
        memset(&version, 0, sizeof version);
        version.dwOSVersionInfoSize = sizeof version;  // 148 bytes, the size Windows 95 knows
        GetVersionExA(&version);
        *major = version.dwMajorVersion;
        *minor = version.dwMinorVersion;
        *build = version.dwBuildNumber;
    }

    CString WindowsDirectory() override { return PlatformSettingsStore().WindowsDirectory(); }

    bool ReadVersionBlock(const char* path, unsigned char* head, size_t headSize, size_t* blockSize) override {
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeA(path, &handle);
        if (size == 0 || size > VersionBlockCeiling) return false;
        // Zero-filled: the platform may fill less of the block than the size it asked for.
        void* block = calloc(size, 1);
        if (!block) return false;
        const bool read = GetFileVersionInfoA(path, handle, size, block) != FALSE;
        if (read) {
            memcpy(head, block, size < headSize ? size : headSize);
            *blockSize = size;
        }
        free(block);
        return read;
    }

    bool GetModificationTime(const char* path, CTime* localTime) override {
        CFileStatus status;
        if (!CFile::GetStatus(path, status)) return false;
        *localTime = status.m_mtime;
        return true;
    }
};

Win32InfoPlatform ThePlatform;

}  // namespace

InfoPlatform& PlatformInfoSource() { return ThePlatform; }
