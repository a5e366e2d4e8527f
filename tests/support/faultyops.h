#pragma once
// A file layer that fails on demand: the save path's fault-injection tests make each of its
// steps fail in turn and check that nothing on disk changed.

#include "model/safefile.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <string>
#include <vector>

namespace kirune::test {

// The POSIX calls, each recorded by kind and by the file it touches; the call numbered `failAt`
// fails with `err` (or, for a write with `lie`, claims all bytes while writing one less).
// Writes take at most 64 KB a call, so a save makes several.
class FaultyOps : public FileOps {
public:
    struct Call {
        std::string kind;
        std::string file;
    };
    std::vector<Call> calls;
    int failAt = -1;
    int err = EIO;
    bool lie = false;

    int Open(const char* path, int flags, mode_t mode) override {
        if (Fail("open", path))
            return -1;
        const int fd = FileOps::Open(path, flags, mode);
        if (fd >= 0)
            names_[fd] = path;
        return fd;
    }
    ssize_t Read(int fd, void* buffer, size_t size) override {
        return Fail("read", fd) ? -1 : FileOps::Read(fd, buffer, size);
    }
    ssize_t Write(int fd, const void* data, size_t size) override {
        size = std::min<size_t>(size, 64 * 1024);
        if (Fail("write", fd))
            return lie ? (FileOps::Write(fd, data, size - 1) < 0 ? -1 : ssize_t(size)) : -1;
        return FileOps::Write(fd, data, size);
    }
    int Stat(int fd, struct stat* info) override {
        return Fail("stat", fd) ? -1 : FileOps::Stat(fd, info);
    }
    int Sync(int fd, bool folder) override {
        return Fail(folder ? "syncfolder" : "sync", fd) ? -1 : FileOps::Sync(fd, folder);
    }
    int Close(int fd) override {
        const bool fail = Fail("close", fd);
        FileOps::Close(fd); // the descriptor is gone either way, as with close(2)
        return fail ? -1 : 0;
    }
    int Rename(const char* from, const char* to) override {
        return Fail("rename", to) ? -1 : FileOps::Rename(from, to);
    }

private:
    bool Fail(const char* kind, int fd) { return Fail(kind, names_[fd]); }
    bool Fail(const char* kind, const std::string& file) {
        // Only the last part of the name: the temporary names differ from run to run.
        const std::string base = file.substr(file.rfind('/') + 1);
        calls.push_back({kind, base.ends_with(".tmp") ? base.substr(0, base.find('.', 1)) : base});
        if (static_cast<int>(calls.size()) - 1 != failAt || (lie && std::string(kind) != "write"))
            return false;
        errno = err;
        return true;
    }
    std::map<int, std::string> names_;
};

} // namespace kirune::test
