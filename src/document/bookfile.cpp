#include "bookfile.h"

#include "booklock.h"
#include "model/gradebookfile.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kirune {

QList<Choice> HeldBookAnswers() {
    return {u"読み取り専用で開く"_s, u"このまま開く"_s, u"キャンセル"_s};
}

QList<Choice> ChangedOnDiskAnswers() {
    return {u"名前を付けて保存"_s, u"上書き"_s, u"キャンセル"_s};
}

QString WithSuffix(const QString& path, const char* suffix) {
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + QLatin1String(suffix);
}

bool BookFile::Lock(const QString& path, Opening* opening) {
    if (lock_ && lock_->fileName() == BookLockPath(path))
        return true; // this program holds it already (the same book opened again)
    BookLockAttempt attempt = TryLockBook(path);
    switch (attempt.state) {
    case BookLockAttempt::State::Taken:
        opening->lock = std::move(attempt.lock);
        opening->takenOver = attempt.takenOver;
        return true;
    case BookLockAttempt::State::Unavailable:
        opening->noLock = true;
        return true;
    case BookLockAttempt::State::HeldElsewhere:
        break;
    }
    const QString question = u"「%1」は、ほかのKirune（%2）で開かれています。"_s.arg(
        QFileInfo(path).fileName(), attempt.holder);
    switch (platform_.AskChoice(question, HeldBookAnswers(), 0, 2)) {
    case 0:
        opening->readOnly = true;
        return true;
    case 1:
        return true;
    default:
        return false;
    }
}

bool BookFile::Open(const QString& path, Opening* opening, QString* error) {
    *opening = Opening();
    opening->path = path;
    if (!Lock(path, opening)) {
        if (error)
            error->clear();
        return false;
    }
    // Read once: the bytes that become the book are the bytes Save later compares the file
    // with, so a change made by another program in between is never taken for ours.
    return ReadGradeBookBytes(path, &opening->bytes, error);
}

void BookFile::Take(Opening&& opening) {
    if (opening.lock || !lock_ || lock_->fileName() != BookLockPath(opening.path))
        lock_ = std::move(opening.lock); // the earlier book's lock is given up
    readOnly_ = opening.readOnly;
    stamp_ = StampOfBytes(opening.bytes);
    path_ = opening.path;
    ownFile_ = true;
}

QString BookFile::Refusal(const QString& path, bool exported) const {
    QString refused;
    if (exported && !CheckNotBookFile(path, path_, &refused))
        return refused;
    const bool ownFile = !path_.isEmpty() && SaveTarget(path) == SaveTarget(path_);
    if (ownFile) // opened read-only: another program holds this file
        return readOnly_
                   ? u"「%1」は読み取り専用で開いています。別の名前で保存してください。"_s.arg(
                         QFileInfo(path).fileName())
                   : QString();
    // A book that another program holds open is never written over: that program would save
    // its own version over this one, or lose its work to it. Without a lock file nobody does.
    if (!QFileInfo::exists(BookLockPath(path)))
        return QString();
    const BookLockAttempt attempt = TryLockBook(path);
    if (attempt.state != BookLockAttempt::State::HeldElsewhere)
        return QString();
    return u"「%1」は、ほかのKirune（%2）で開かれているため、上書きできません。"
           u"別の名前で保存してください。"_s.arg(QFileInfo(path).fileName(), attempt.holder);
}

BookFile::Overwrite BookFile::ClearedToOverwrite(const QString& path) {
    if (const QString refused = Refusal(path, false); !refused.isEmpty()) {
        platform_.ShowMessage(refused);
        return Overwrite::Stop;
    }
    const bool ownFile = !path_.isEmpty() && SaveTarget(path) == SaveTarget(path_);
    if (!ownFile) {
        // Another file: the save dialog asked before it was chosen. Its lock is kept until it
        // is written.
        targetLock_ = TryLockBook(path).lock;
        return Overwrite::Cleared;
    }
    QString error;
    DiskStamp now;
    if (!ReadDiskStamp(path, &now, &error)) {
        platform_.ShowMessage(error);
        return Overwrite::Stop;
    }
    cleared_ = now; // what the teacher's word, or the check, lets Save write over
    if (!ChangedOnDisk(stamp_, now))
        return Overwrite::Cleared;
    const QString question = u"「%1」は、読み込んだ後にほかのプログラムで変更されています。"
                             u"上書きしますか？"_s.arg(QFileInfo(path).fileName());
    switch (platform_.AskChoice(question, ChangedOnDiskAnswers(), 0, 2)) {
    case 0:
        return Overwrite::SaveAs;
    case 1:
        return Overwrite::Cleared;
    default:
        return Overwrite::Stop;
    }
}

bool BookFile::Write(const QString& path, const QByteArray& bytes, QString* error) {
    const bool ownFile = !path_.isEmpty() && SaveTarget(path) == SaveTarget(path_);
    const DiskStamp cleared = cleared_.value_or(stamp_);
    cleared_.reset();
    bool changed = false;
    if (!(ownFile ? SaveBookWithBackup(path, bytes, cleared, &changed, error)
                  : SaveWithBackup(path, bytes, error))) {
        NotWritten();
        return false;
    }
    Written(path, bytes);
    return true;
}

void BookFile::Written(const QString& path, const QByteArray& bytes) {
    if (SaveTarget(path) != SaveTarget(path_)) {
        // Saved under another name: that file is the book's now, and its lock with it.
        lock_ = targetLock_ ? std::move(targetLock_) : TryLockBook(path).lock;
        readOnly_ = false;
    }
    stamp_ = StampOfBytes(bytes);
    path_ = path;
    ownFile_ = true;
}

void BookFile::TakeOver(const QString& path) {
    Release();
    ownFile_ = !path.isEmpty();
    if (path.isEmpty())
        return;
    BookLockAttempt attempt = TryLockBook(path);
    lock_ = std::move(attempt.lock);
    readOnly_ = attempt.state == BookLockAttempt::State::HeldElsewhere;
    path_ = path;
    // What the file holds now is what Save will overwrite; a file that cannot be looked at
    // counts as changed, so Save asks first.
    if (!ReadDiskStamp(path, &stamp_, nullptr))
        stamp_ = {true, -1, QByteArray()};
}

void BookFile::Release() {
    lock_.reset();
    targetLock_.reset();
    readOnly_ = false;
    ownFile_ = false;
    stamp_ = DiskStamp();
    path_.clear();
}

} // namespace kirune
