#pragma once
// The lock beside an open book: a hidden file ".<name>.lock" in the book's folder (QLockFile),
// held while the book is open, which tells a second program (on this computer or another) that
// the book is open, and with whom, where and since when. A lock left by a program that ended
// without giving it up on this computer is taken over; one held on another computer never
// goes stale by age (a book stays open all day).

#include <QLockFile>
#include <QString>
#include <memory>

namespace kirune {

struct BookLockAttempt {
    enum class State {
        Taken,         // `lock` holds the book
        HeldElsewhere, // another program holds it: `holder` says who
        Unavailable, // no lock can be made there (a read-only folder, a file system without locks)
    };
    State state = State::Unavailable;
    std::unique_ptr<QLockFile> lock;
    QString holder; // "ユーザー名、コンピューター名、開いた時刻"
};

// The lock file of the book at `path` (the file a save of `path` writes).
QString BookLockPath(const QString& path);
// Tries once, without waiting, to take the lock of the book at `path`.
BookLockAttempt TryLockBook(const QString& path);

} // namespace kirune
