// An in-memory file system behind the boot-file seams, with faults to inject; shared by the unit
// tests and the fuzz target.
#pragma once
#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "bootfile.h"

class FakeBootFiles final : public BootFileSystem {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> readOnly;
    std::map<std::string, unsigned> attributes;  // hidden, system, archive (read-only: readOnly)
    // Folders: they cannot be opened, created over or removed, and move as files do.
    std::set<std::string> folders;

    // Faults.
    size_t readChunk = 4096;     // at most this many bytes per Read
    long readFailAt = -1;        // Read fails once this many bytes were delivered
    bool failOpenRead = false;
    bool failCreate = false;
    long writeFailAfter = -1;    // the write that would pass this many bytes stores up to it and fails
    bool failCloseWrite = false;
    std::set<std::string> failMovesFrom;  // Move fails for these sources
    std::set<std::string> failRemoves;    // Remove fails for these files
    long changes = 0;                     // changes made to the files so far
    long stopAfter = -1;                  // a power cut: once changes reaches it, every operation fails
    SaveFailure failure = SaveFailure::Other;  // the reason every failed operation gives, with its file
    // Called after every change to the files: a crash could happen at any of these moments.
    std::function<void(const FakeBootFiles&)> afterChange;

    bool OpenRead(const char* path) override {
        auto it = files.find(path);
        if (failOpenRead || it == files.end() || Stopped()) return Refuse(path);
        m_reading = it->second;
        m_readPath = path;
        m_readPosition = 0;
        return true;
    }
    int Read(char* buffer, unsigned size) override {
        if (Stopped() || (readFailAt >= 0 && m_readPosition >= static_cast<size_t>(readFailAt))) {
            Refuse(m_readPath);
            return -1;
        }
        size_t count = std::min({static_cast<size_t>(size), readChunk, m_reading.size() - m_readPosition});
        if (readFailAt >= 0) count = std::min(count, static_cast<size_t>(readFailAt) - m_readPosition);
        m_reading.copy(buffer, count, m_readPosition);
        m_readPosition += count;
        return static_cast<int>(count);
    }
    void CloseRead() override { m_reading.clear(); }
    bool CreateNew(const char* path, unsigned attributesOfNew) override {
        if (failCreate || Exists(path) || Stopped()) return Refuse(path);
        attributes[path] = attributesOfNew;
        m_writing = path;
        m_written = 0;
        files[path];
        Changed();
        return true;
    }
    bool Write(const char* data, unsigned size) override {
        if (Stopped()) return Refuse(m_writing);
        size_t accepted = size;
        if (writeFailAfter >= 0 && m_written + size > static_cast<size_t>(writeFailAfter))
            accepted = static_cast<size_t>(writeFailAfter) - m_written;
        files[m_writing].append(data, accepted);
        m_written += accepted;
        Changed();
        return accepted == size || Refuse(m_writing);
    }
    bool CloseWrite() override {
        const bool closed = (!failCloseWrite && !Stopped()) || Refuse(m_writing);
        m_writing.clear();
        return closed;
    }
    bool Exists(const char* path) override { return files.count(path) || folders.count(path); }
    unsigned Attributes(const char* path) override {
        if (folders.count(path)) return BootAttributeDirectory;
        if (!files.count(path)) return 0;
        return attributes[path] | (readOnly.count(path) ? BootAttributeReadOnly : 0);
    }
    bool Move(const char* from, const char* to) override {
        if (failMovesFrom.count(from) || !Exists(from) || Exists(to) || Stopped()) return Refuse(from);
        if (folders.erase(from)) {
            folders.insert(to);
            Changed();
            return true;
        }
        files[to] = files[from];
        files.erase(from);
        if (readOnly.erase(from)) readOnly.insert(to);
        attributes[to] = attributes[from];
        attributes.erase(from);
        Changed();
        return true;
    }
    bool Remove(const char* path) override {
        if (failRemoves.count(path) || !files.count(path) || readOnly.count(path) || Stopped()) return Refuse(path);
        files.erase(path);
        attributes.erase(path);
        Changed();
        return true;
    }
    const BootFailure& LastFailure() override {
        m_last = BootFailure();
        m_last.reason = failure;
        m_failedPath.copy(m_last.subject, sizeof m_last.subject - 1);
        return m_last;
    }

private:
    BootFailure m_last;
    bool Stopped() const { return stopAfter >= 0 && changes >= stopAfter; }
    // Keeps the file of a failed operation; false.
    bool Refuse(const std::string& path) {
        m_failedPath = path;
        return false;
    }
    void Changed() {
        ++changes;
        if (afterChange) afterChange(*this);
    }

    std::string m_failedPath = BootFilePath;
    std::string m_reading;
    std::string m_readPath;
    size_t m_readPosition = 0;
    std::string m_writing;
    size_t m_written = 0;
};

class FakeBootEnvironment final : public BootEnvironment {
public:
    bool set = true;
    std::string value = "C:\\WINDOWS";

    bool BootDirectory(char (&buffer)[256]) override {
        if (!set) return true;
        if (value.size() >= sizeof buffer) return false;
        value.copy(buffer, value.size());
        return true;
    }
};
