#include "booklock.h"

#include "safefile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace kirune {

namespace {

// What is at the lock's place, looked at without opening it (opening a pipe could wait for ever,
// reading a device could never end).
enum class LockPlace { Empty, LockFile, NoLockPossible };

LockPlace LookAtLockPlace(const QString& lockPath) {
    const QByteArray native = QFile::encodeName(lockPath);
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0)
        return errno == ENOENT ? LockPlace::Empty : LockPlace::NoLockPossible;
    // A link counts as what it points to; one that points nowhere holds no lock either.
    if (S_ISLNK(info.st_mode) && ::stat(native.constData(), &info) != 0)
        return LockPlace::NoLockPossible;
    return S_ISREG(info.st_mode) ? LockPlace::LockFile : LockPlace::NoLockPossible;
}

// Whether a lock file names the program that holds it (a process number, on this computer or
// another): then it is held, or stale by the rules of QLockFile. An empty lock file (left by a
// crash between making it and writing it), one that cannot be read, or garbage names no one.
bool NamesAHolder(const QString& lockPath) {
    QByteArray bytes;
    if (!ReadRegularFile(lockPath, 4096, &bytes, nullptr))
        return false;
    bool number = false;
    const qint64 pid = bytes.left(bytes.indexOf('\n')).trimmed().toLongLong(&number);
    return number && pid > 0;
}

} // namespace

QString BookLockPath(const QString& path) {
    const QFileInfo book(SaveTarget(path));
    return book.absolutePath() + QStringLiteral("/.") + book.fileName() + QStringLiteral(".lock");
}

QString HeldBookMessage(const QString& path, const QString& holder) {
    return QStringLiteral("「%1」は、ほかのKirune（%2）で開かれているため、上書きできません。"
                          "別の名前で保存してください。")
        .arg(QFileInfo(path).fileName(), holder);
}

BookLockAttempt TryLockBook(const QString& path) {
    BookLockAttempt attempt;
    const QString lockPath = BookLockPath(path);
    const LockPlace place = LookAtLockPlace(lockPath);
    if (place == LockPlace::NoLockPossible)
        return attempt; // Unavailable
    auto lock = std::make_unique<QLockFile>(lockPath);
    // Only a lock whose program is gone from this computer is stale, and a lock file that names
    // no program once it has stood a minute; a book stays open all day on another computer.
    lock->setStaleLockTime(
        place == LockPlace::LockFile && !NamesAHolder(lockPath) ? kUnnamedLockStaleMs : 0);
    if (lock->tryLock(0)) {
        attempt.state = BookLockAttempt::State::Taken;
        attempt.lock = std::move(lock);
        attempt.takenOver = place == LockPlace::LockFile;
        return attempt;
    }
    if (lock->error() != QLockFile::LockFailedError)
        return attempt; // Unavailable
    attempt.state = BookLockAttempt::State::HeldElsewhere;
    qint64 pid = 0;
    QString computer, program;
    lock->getLockInfo(&pid, &computer, &program);
    const QFileInfo file(lock->fileName());
    const QString user = file.owner().isEmpty() ? QStringLiteral("?") : file.owner();
    attempt.holder = user + u'、' + (computer.isEmpty() ? QStringLiteral("?") : computer) + u'、' +
                     file.lastModified().toString(QStringLiteral("yyyy/MM/dd HH:mm"));
    return attempt;
}

} // namespace kirune
