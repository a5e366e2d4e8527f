#include "safefile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace kirune {

int FileOps::Open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}
ssize_t FileOps::Read(int fd, void* buffer, size_t size) {
    return ::read(fd, buffer, size);
}
ssize_t FileOps::Write(int fd, const void* data, size_t size) {
    return ::write(fd, data, size);
}
int FileOps::Stat(int fd, struct stat* info) {
    return ::fstat(fd, info);
}
int FileOps::Sync(int fd, bool folder) {
    return folder ? ::fsync(fd) : ::fdatasync(fd);
}
int FileOps::Close(int fd) {
    return ::close(fd);
}
int FileOps::Rename(const char* from, const char* to) {
    return ::rename(from, to);
}
int FileOps::Unlink(const char* path) {
    return ::unlink(path);
}

namespace {

FileOps gPosixOps;
FileOps* gOps = &gPosixOps;

void SetError(QString* error, const QString& message) {
    if (error)
        *error = message;
}

QString ShownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The reason of a failed call, in words a teacher can act on where there are such words.
QString Reason(int err) {
    switch (err) {
    case ENOSPC:
    case EDQUOT:
        return u"ディスクの空きが足りません"_s;
    case EACCES:
    case EPERM:
        return u"アクセスが許可されていません"_s;
    case EROFS:
        return u"書き込みのできない場所です"_s;
    case EIO:
        return u"ディスクの読み書きで障害が起きました"_s;
    case 0: // the system's text would be "Success": the message names the step that failed
        return u"システムから原因が示されませんでした"_s;
    default:
        return QString::fromLocal8Bit(std::strerror(err));
    }
}

bool NotRegular(const QString& path, QString* error) {
    SetError(error, u"「%1」は通常のファイルではありません（名前付きパイプや装置など）。"
                    u"読み込めるのは通常のファイルだけです。"_s.arg(ShownPath(path)));
    return false;
}

// An open file descriptor, closed (result ignored) unless taken over by Close().
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { Drop(); }

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    void Reset(int fd) {
        Drop();
        fd_ = fd;
    }
    // Closes it and reports the result: a failed close is a failed write.
    bool Close() {
        const int fd = std::exchange(fd_, -1);
        return gOps->Close(fd) == 0;
    }

private:
    void Drop() {
        if (fd_ >= 0)
            gOps->Close(std::exchange(fd_, -1));
    }
    int fd_ = -1;
};

// A new file beside the target under a name of its own; removed again unless kept.
class TempFile {
public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() { Discard(); }

    // Creates "<folder>/.<name>.<random>.tmp"; false with errno set on failure.
    bool Create(const QString& folder, const QString& name, const struct stat* like) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QString suffix = QString::number(QRandomGenerator::global()->generate64(), 36);
            const QByteArray path = QFile::encodeName(folder + u'/' + u'.' + name + u'.' +
                                                      suffix.right(8) + QStringLiteral(".tmp"));
            const int fd =
                gOps->Open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                path_ = path;
                fd_.Reset(fd);
                // The new file gets the permissions of the one it replaces.
                if (like)
                    (void)::fchmod(fd, like->st_mode & 07777);
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    Descriptor& Fd() { return fd_; }
    const QByteArray& Path() const { return path_; }
    // After the rename: the name now belongs to the target.
    void Keep() { path_.clear(); }
    void Discard() {
        fd_.Reset(-1);
        if (!path_.isEmpty()) {
            gOps->Unlink(path_.constData());
            path_.clear();
        }
    }

private:
    QByteArray path_;
    Descriptor fd_;
};

bool WriteAll(int fd, const char* data, qint64 size, QString* reason) {
    qint64 written = 0;
    while (written < size) {
        const size_t chunk = static_cast<size_t>(std::min<qint64>(size - written, 1 << 30));
        const ssize_t n = gOps->Write(fd, data + written, chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *reason = u"書き込みに失敗しました（%1 バイト中 %2 バイトまで書き込みました: "
                      u"%3）。"_s.arg(size)
                          .arg(written)
                          .arg(n < 0 ? Reason(errno) : u"書き込みが進みません"_s);
            return false;
        }
        written += n;
    }
    return true;
}

// Reads the open file `fd` to its end, handing each piece read to `take`; false when a read
// fails (errno says why) or `take` refuses a piece.
bool ForEachChunk(int fd, const std::function<bool(QByteArrayView)>& take) {
    constexpr size_t kChunk = 256 * 1024;
    QByteArray buffer(kChunk, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = gOps->Read(fd, buffer.data(), kChunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!take(QByteArrayView(buffer.constData(), n)))
            return false;
    }
}

// The steps after the last write: the size on disk checked against what was meant to be
// written, the data synced to the disk, the file closed; each failure gives its reason.
bool Finish(TempFile& file, qint64 expected, QString* reason) {
    struct stat info {};
    if (gOps->Stat(file.Fd().Get(), &info) != 0) {
        *reason = u"書き込んだ大きさを確かめられません（%1）。"_s.arg(Reason(errno));
        return false;
    }
    if (info.st_size != expected) {
        *reason =
            u"書き込んだ大きさが合いません（%1 バイトのはずが %2 バイトです）。"_s.arg(expected)
                .arg(static_cast<qint64>(info.st_size));
        return false;
    }
    if (gOps->Sync(file.Fd().Get(), false) != 0) {
        *reason = u"ディスクへの書き込みに失敗しました（%1）。"_s.arg(Reason(errno));
        return false;
    }
    if (!file.Fd().Close()) {
        *reason = u"ファイルを閉じるときに書き込みに失敗しました（%1）。"_s.arg(Reason(errno));
        return false;
    }
    return true;
}

// Copies the file `source` (of `info`) into a new temporary file, synced and closed, and gives
// the SHA-256 of the bytes copied. False on any failure (the temporary file is then removed).
bool CopyToTemp(const QByteArray& source, const struct stat& info, const QString& folder,
                const QString& name, TempFile& copy, QByteArray* hash) {
    Descriptor in(gOps->Open(source.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0));
    if (!in.IsOpen() || !copy.Create(folder, name, &info))
        return false;
    qint64 total = 0;
    QCryptographicHash sha(QCryptographicHash::Sha256);
    QString reason;
    const bool copied = ForEachChunk(in.Get(), [&](QByteArrayView chunk) {
        total += chunk.size();
        sha.addData(chunk);
        return WriteAll(copy.Fd().Get(), chunk.data(), chunk.size(), &reason);
    });
    if (!copied || !Finish(copy, total, &reason))
        return false;
    *hash = sha.result();
    return true;
}

// `unchangedSince`, when given, is what the file held when it was read or last saved: right
// before the rename the file is looked at once more, and when another program has changed it
// nothing is saved (*changed is set).
bool SaveFile(const QString& path, const QByteArray& bytes, const QString& backupPath,
              QString* error, const DiskStamp* unchangedSince = nullptr, bool* changed = nullptr) {
    // Saving through a symbolic link replaces the file it points to and keeps the link.
    const QString target = SaveTarget(path);
    const QString folder = QFileInfo(target).absolutePath();
    const QString name = QFileInfo(target).fileName();
    const QByteArray nativeTarget = QFile::encodeName(target);

    struct stat old {};
    const bool existed = ::stat(nativeTarget.constData(), &old) == 0;
    const QString kept = existed ? u"元のファイルは変更されていません。"_s : QString();
    auto fail = [&](const QString& reason) {
        SetError(error, u"「%1」に保存できませんでした。%2%3"_s.arg(ShownPath(path), reason, kept));
        return false;
    };
    if (existed && S_ISDIR(old.st_mode))
        return fail(u"同じ名前のフォルダーがあります。"_s);
    if (existed && !S_ISREG(old.st_mode))
        return fail(u"同じ名前の、通常のファイルではないもの（名前付きパイプや装置など）が"
                    u"あります。"_s);
    if (!QFileInfo(folder).isDir())
        return fail(u"保存先のフォルダーがありません。"_s);

    Descriptor dir(
        gOps->Open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
    if (!dir.IsOpen())
        return fail(u"保存先のフォルダーを開けません（%1）。"_s.arg(Reason(errno)));

    // The new content goes to a temporary file beside the target; the target is replaced only
    // by the rename, so a failure at any point before it leaves the target as it was.
    TempFile fresh;
    if (!fresh.Create(folder, name, existed ? &old : nullptr))
        return fail(u"一時ファイルを作れません（%1）。"_s.arg(Reason(errno)));
    QString reason;
    if (!WriteAll(fresh.Fd().Get(), bytes.constData(), bytes.size(), &reason) ||
        !Finish(fresh, bytes.size(), &reason))
        return fail(reason);

    // The previous version is copied to a temporary file too and renamed over the old backup
    // only after the save went through, so that there is a complete backup at every moment. A
    // failing copy keeps the old backup and lets the save go on. Right before the rename the
    // file is looked at once more: the backup must hold exactly what it holds then, whoever
    // wrote it (a copy taken while another program was writing is taken again), and the book
    // must still hold what it was read as.
    const bool wantCopy = existed && !backupPath.isEmpty() && backupPath != target;
    TempFile copy;
    bool haveCopy = false;
    for (int attempt = 0; wantCopy || unchangedSince; ++attempt) {
        QByteArray copied;
        haveCopy = wantCopy && CopyToTemp(nativeTarget, old, folder,
                                          QFileInfo(backupPath).fileName(), copy, &copied);
        if (!haveCopy)
            copy.Discard();
        if (!haveCopy && !unchangedSince)
            break;
        DiskStamp now;
        QString unread;
        if (!ReadDiskStamp(target, &now, &unread)) {
            if (unchangedSince)
                return fail(u"ほかのプログラムで変更されていないか確かめられません。"_s);
            copy.Discard();
            haveCopy = false;
            break;
        }
        if (unchangedSince && ChangedOnDisk(*unchangedSince, now)) {
            if (changed)
                *changed = true;
            return fail(u"保存する間にほかのプログラムがこのファイルを書き換えました。"_s);
        }
        if (!now.exists) { // gone: there is nothing to keep
            copy.Discard();
            haveCopy = false;
            break;
        }
        if (!haveCopy || now.hash == copied)
            break;
        copy.Discard();
        haveCopy = false;
        if (attempt == 2) // written to all the time: better no new backup than a wrong one
            break;
    }

    if (gOps->Rename(fresh.Path().constData(), nativeTarget.constData()) != 0)
        return fail(u"ファイルを置き換えられません（%1）。"_s.arg(Reason(errno)));
    fresh.Keep();
    if (haveCopy) {
        if (gOps->Rename(copy.Path().constData(), QFile::encodeName(backupPath).constData()) == 0)
            copy.Keep();
        else
            copy.Discard();
    }

    // Only a synced folder holds the new names after a power cut. A file system that cannot
    // sync a folder says so with EINVAL; there is nothing more to do then.
    if (gOps->Sync(dir.Get(), true) != 0 && errno != EINVAL) {
        SetError(error,
                 u"「%1」に保存しましたが、ディスクへの書き込みを確かめられませんでした"
                 u"（%2）。もう一度保存してください。"_s.arg(ShownPath(path), Reason(errno)));
        return false;
    }
    return true;
}

} // namespace

ScopedFileOps::ScopedFileOps(FileOps& ops) : previous_(std::exchange(gOps, &ops)) {}

ScopedFileOps::~ScopedFileOps() {
    gOps = previous_;
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    return SaveFile(path, bytes, QString(), error);
}

QString BackupPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot > slash)
        return path.left(dot) + QStringLiteral(".bak");
    return path + QStringLiteral(".bak");
}

bool SaveWithBackup(const QString& path, const QByteArray& bytes, QString* error,
                    const QString& backupPath) {
    return SaveFile(path, bytes, backupPath.isEmpty() ? BackupPath(SaveTarget(path)) : backupPath,
                    error);
}

bool SaveBookWithBackup(const QString& path, const QByteArray& bytes,
                        const DiskStamp& unchangedSince, bool* changed, QString* error) {
    if (changed)
        *changed = false;
    return SaveFile(path, bytes, BackupPath(SaveTarget(path)), error, &unchangedSince, changed);
}

QString SaveTarget(const QString& path) {
    QFileInfo info(path);
    // A chain of links is followed to its end; a loop stops at the limit the system has too.
    for (int hop = 0; hop < 40 && info.isSymLink(); ++hop)
        info.setFile(info.symLinkTarget());
    return info.absoluteFilePath();
}

QString SameFileKey(const QString& path) {
    const QString target = SaveTarget(path);
    const QString canonical = QFileInfo(target).canonicalFilePath();
    return canonical.isEmpty() ? target : canonical;
}

bool SameFile(const QString& a, const QString& b) {
    if (SameFileKey(a) == SameFileKey(b))
        return true;
    struct stat first {
    }, second{};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool PlaceMadeFile(const QString& made, const QString& path, QString* error,
                   const std::function<bool(const QByteArray&)>& complete) {
    const bool existed = QFileInfo::exists(SaveTarget(path));
    auto failed = [&](const QString& reason) {
        SetError(error,
                 u"「%1」に保存できませんでした。作ったファイルを読み戻せません（%2）。%3"_s.arg(
                     ShownPath(path), reason,
                     existed ? u"元のファイルは変更されていません。"_s : QString()));
        return false;
    };
    Descriptor in(
        gOps->Open(QFile::encodeName(made).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0));
    if (!in.IsOpen())
        return failed(Reason(errno));
    struct stat info {};
    if (gOps->Stat(in.Get(), &info) != 0)
        return failed(Reason(errno));
    if (!S_ISREG(info.st_mode))
        return failed(u"通常のファイルではありません"_s);
    QByteArray bytes;
    bytes.reserve(info.st_size);
    if (!ForEachChunk(in.Get(), [&](QByteArrayView chunk) {
            bytes.append(chunk);
            return true;
        }))
        return failed(Reason(errno));
    if (bytes.size() != info.st_size)
        return failed(
            u"%1 バイトのはずが %2 バイトしか読めません"_s.arg(info.st_size).arg(bytes.size()));
    if (bytes.isEmpty() || (complete && !complete(bytes)))
        return failed(u"ファイルが最後まで書かれていません"_s);
    return WriteFileAtomically(path, bytes, error);
}

DiskStamp StampOfBytes(const QByteArray& bytes) {
    return {true, bytes.size(), QCryptographicHash::hash(bytes, QCryptographicHash::Sha256)};
}

bool ReadDiskStamp(const QString& path, DiskStamp* stamp, QString* error) {
    *stamp = DiskStamp();
    const QString target = SaveTarget(path);
    auto failed = [&](int err) {
        SetError(error, u"「%1」がほかのプログラムで変更されていないか確かめられません（%2）。"
                        u"保存はしていません。"_s.arg(ShownPath(path), Reason(err)));
        return false;
    };
    Descriptor in(
        gOps->Open(QFile::encodeName(target).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0));
    if (!in.IsOpen())
        return errno == ENOENT ? true : failed(errno);
    struct stat info {};
    if (gOps->Stat(in.Get(), &info) != 0)
        return failed(errno);
    if (!S_ISREG(info.st_mode))
        return failed(EISDIR);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    qint64 total = 0;
    const bool read = ForEachChunk(in.Get(), [&](QByteArrayView chunk) {
        hash.addData(chunk);
        total += chunk.size();
        return true;
    });
    if (!read)
        return failed(errno);
    *stamp = {true, total, hash.result()};
    return true;
}

bool ChangedOnDisk(const DiskStamp& then, const DiskStamp& now) {
    if (!now.exists)
        return false;
    return !then.exists || then.size != now.size || then.hash != now.hash;
}

bool CheckRegularFile(const QString& path, QString* error) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            SetError(error, u"ファイル「%1」が見つかりません。"_s.arg(ShownPath(path)));
        else
            SetError(error,
                     u"ファイル「%1」を開けません（%2）。"_s.arg(ShownPath(path), Reason(errno)));
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        SetError(error,
                 u"「%1」はフォルダーです。ファイルを選んでください。"_s.arg(ShownPath(path)));
        return false;
    }
    if (!S_ISREG(info.st_mode))
        return NotRegular(path, error);
    return true;
}

bool ReadRegularFile(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* error,
                     bool* tooBig) {
    if (tooBig)
        *tooBig = false;
    if (!CheckRegularFile(path, error))
        return false;
    auto failed = [&](int err) {
        SetError(error,
                 u"ファイル「%1」を読み込めません（%2）。"_s.arg(ShownPath(path), Reason(err)));
        return false;
    };
    // Opened without waiting, and checked once more once open: the name may have been replaced
    // by a pipe in the meantime, and reading a pipe could wait for ever.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return failed(errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return failed(errno);
    if (!S_ISREG(info.st_mode))
        return NotRegular(path, error);
    auto big = [&] {
        if (tooBig)
            *tooBig = true;
        SetError(error, u"ファイル「%1」は大きすぎます。"_s.arg(ShownPath(path)));
        return false;
    };
    if (info.st_size > maxBytes)
        return big();
    // Read up to the end, so a file that grows meanwhile is still bounded by the limit.
    QByteArray out;
    out.reserve(info.st_size);
    bool grew = false;
    const bool read = ForEachChunk(fd, [&](QByteArrayView chunk) {
        grew = out.size() + chunk.size() > maxBytes;
        if (!grew)
            out.append(chunk);
        return !grew;
    });
    if (grew)
        return big();
    if (!read)
        return failed(errno);
    *bytes = std::move(out);
    return true;
}

} // namespace kirune
