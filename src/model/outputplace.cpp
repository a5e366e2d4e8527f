#include "outputplace.h"

#include "booklock.h"
#include "safefile.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

bool IsBookOrBackup(const QString& path, const QString& book) {
    return !book.isEmpty() &&
           (SameFile(path, book) || SameFile(path, BackupPath(SaveTarget(book))));
}

bool Refuse(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}

} // namespace

bool CheckOutputPlace(const QString& path, const KeptBooks& books, QString* error,
                      std::unique_ptr<QLockFile>* lock) {
    const QString name = QFileInfo(path).fileName();
    if (books.saving && !books.open.isEmpty() && SameFile(path, books.open))
        return true; // the book saved under its own name: its lock is held already
    if (IsBookOrBackup(path, books.open))
        return Refuse(error, u"「%1」は開いている成績ファイル（またはその控え）です。"
                             u"別の名前で保存してください。"_s.arg(name));
    for (const QString& book : books.summarised)
        if (IsBookOrBackup(path, book))
            return Refuse(error, u"「%1」は集計した成績ファイル（またはその控え）です。"
                                 u"集計表は別の名前で保存してください。"_s.arg(name));
    // Without a lock file nobody holds it; the lock is then only taken for a writer to keep.
    if (!lock && !QFileInfo::exists(BookLockPath(path)))
        return true;
    BookLockAttempt attempt = TryLockBook(path);
    if (attempt.state == BookLockAttempt::State::HeldElsewhere)
        return Refuse(error, HeldBookMessage(path, attempt.holder));
    if (lock)
        *lock = std::move(attempt.lock);
    return true;
}

} // namespace kirune
