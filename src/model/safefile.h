#pragma once
// Writing files so that a failure never goes unnoticed and never leaves half a file, and
// reading only what is a regular file.
//
// A save goes through the file operations below, one call per step, so that tests can make each
// step fail in turn; the program itself always uses the plain POSIX calls.

#include <QByteArray>
#include <QString>
#include <functional>
#include <sys/stat.h>
#include <sys/types.h>

namespace kirune {

// Writes `bytes` to `path` atomically: a temporary file in the same folder, every write checked,
// the byte count on disk verified, flushed, synced to disk, renamed over the target, then the
// folder synced so that the new name survives a power cut. False and a Japanese *error on
// failure; the target is then as it was and no temporary file is left. (Only when the final
// sync of the folder fails is the target already the complete new file; the save is still
// reported as failed, since the new name may not survive a power cut.)
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

// "class3.txt" -> "class3.bak"; a file name without "." gets ".bak" appended.
QString BackupPath(const QString& path);

// Writes `bytes` to `path` as WriteFileAtomically does, and keeps the old file as its backup
// (BackupPath): the old file is copied to a temporary file, synced, and renamed over the old
// backup once the new file is in place, so a complete backup exists at every moment. A failing
// backup step keeps the old backup and lets the save go on. False and a Japanese *error when
// the save failed; the old file and its backup are then untouched. `backupPath`, when given,
// is where the old file is kept instead.
bool SaveWithBackup(const QString& path, const QByteArray& bytes, QString* error,
                    const QString& backupPath = QString());

// False and a Japanese *error unless `path` names an existing regular file (after following
// symbolic links): a folder, a pipe or a device is refused without being opened.
bool CheckRegularFile(const QString& path, QString* error);

// Reads the whole regular file at `path` into *bytes. Refused with a Japanese *error: anything
// CheckRegularFile refuses, a file that cannot be opened or read, and a file of more than
// `maxBytes` bytes (then *tooBig is set, when given, and the caller may word its own message).
bool ReadRegularFile(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* error,
                     bool* tooBig = nullptr);

// The file a save of `path` writes: `path` itself, or through symbolic links the file they end
// at, even one that does not exist yet (a save keeps the links).
QString SaveTarget(const QString& path);
// A name for the file at `path` that is the same under any spelling of its path (links followed,
// the file there or not): two paths name one file when their keys are equal.
QString SameFileKey(const QString& path);

// Whether `a` and `b` name one file: the same key, or two names of one file on disk (a hard
// link).
bool SameFile(const QString& a, const QString& b);

// Puts the file `made`, written aside by a library that writes files by name (a workbook, a
// PDF), in place at `path`: it is read back, every read checked, and written as
// WriteFileAtomically writes. `complete`, when given, tells whether the bytes read back are a
// whole file of their kind. False and a Japanese *error naming the step that failed; the file
// at `path` is then as it was.
bool PlaceMadeFile(const QString& made, const QString& path, QString* error,
                   const std::function<bool(const QByteArray&)>& complete = nullptr);

// What a file on disk holds, to tell later whether another program has changed it.
struct DiskStamp {
    bool exists = false;
    qint64 size = 0;
    QByteArray hash; // SHA-256 of the bytes
};
// The stamp of a file that holds `bytes` (just written by a save).
DiskStamp StampOfBytes(const QByteArray& bytes);
// Looks at the file a save of `path` would write. A file that does not exist gives a stamp that
// says so. False and a Japanese *error when the file is there but cannot be looked at or read.
bool ReadDiskStamp(const QString& path, DiskStamp* stamp, QString* error);
// Whether the file on disk (`now`) holds other bytes than it did (`then`). The sizes tell at
// once; when they agree the bytes' hashes decide, so a file only touched is not taken for a
// changed one. A file that is gone holds nothing to overwrite.
bool ChangedOnDisk(const DiskStamp& then, const DiskStamp& now);

// Saves the open book as SaveWithBackup does, and looks at its file once more right before the
// rename: when another program has changed it since `unchangedSince` (what the book was read or
// last saved as), nothing is saved, *changed is set and *error says so. The backup then holds
// exactly what the file held right before the rename.
bool SaveBookWithBackup(const QString& path, const QByteArray& bytes,
                        const DiskStamp& unchangedSince, bool* changed, QString* error);

// The file operations a save is made of. Each returns what its POSIX call returns and sets
// errno the same way.
class FileOps {
public:
    virtual ~FileOps() = default;
    virtual int Open(const char* path, int flags, mode_t mode);
    virtual ssize_t Read(int fd, void* buffer, size_t size);
    virtual ssize_t Write(int fd, const void* data, size_t size);
    // fstat: how many bytes reached the file.
    virtual int Stat(int fd, struct stat* info);
    // fdatasync for a file, fsync for a folder.
    virtual int Sync(int fd, bool folder);
    // close: the last chance for the system to report a failed write.
    virtual int Close(int fd);
    virtual int Rename(const char* from, const char* to);
    virtual int Unlink(const char* path);
};

// While one lives, every save goes through `ops` instead of the POSIX calls (for tests).
class ScopedFileOps {
public:
    explicit ScopedFileOps(FileOps& ops);
    ~ScopedFileOps();
    ScopedFileOps(const ScopedFileOps&) = delete;
    ScopedFileOps& operator=(const ScopedFileOps&) = delete;

private:
    FileOps* previous_;
};

} // namespace kirune
