#include "booklock.h"

#include "model/safefile.h"

#include <QDateTime>
#include <QFileInfo>

namespace kirune {

QString BookLockPath(const QString& path) {
    const QFileInfo book(SaveTarget(path));
    return book.absolutePath() + QStringLiteral("/.") + book.fileName() + QStringLiteral(".lock");
}

BookLockAttempt TryLockBook(const QString& path) {
    BookLockAttempt attempt;
    auto lock = std::make_unique<QLockFile>(BookLockPath(path));
    lock->setStaleLockTime(0); // only a lock whose program is gone from this computer is stale
    if (lock->tryLock(0)) {
        attempt.state = BookLockAttempt::State::Taken;
        attempt.lock = std::move(lock);
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
