#pragma once
// The lock beside an open book: a hidden file ".<name>.lock" in the book's folder (QLockFile),
// held while the book is open, which tells a second program (on this computer or another) that
// the book is open, and with whom, where and since when. A lock left by a program that ended
// without giving it up on this computer is taken over, and so is a lock file that names no
// program (empty, unreadable, garbage) once it has stood a minute; one held on another computer
// never goes stale by age (a book stays open all day). Anything at the lock's place that is not
// a regular file (a pipe, a device, a folder, a link to one of them or to nothing) is never
// opened: no lock can be taken there.

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
    QString holder;         // "ユーザー名、コンピューター名、開いた時刻"
    bool takenOver = false; // Taken from a lock file left behind by a program gone
};

// How long a lock file that names no program must have stood before it is taken over: long
// enough for a program that has just made it to write its name in.
inline constexpr int kUnnamedLockStaleMs = 60 * 1000;

// The lock file of the book at `path` (the file a save of `path` writes).
QString BookLockPath(const QString& path);
// Tries once, without waiting, to take the lock of the book at `path`.
BookLockAttempt TryLockBook(const QString& path);
// The refusal of a write over the book at `path`, which the program `holder` has open.
QString HeldBookMessage(const QString& path, const QString& holder);

} // namespace kirune
