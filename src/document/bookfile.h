#pragma once
// The open book's file: where it is, the lock beside it, what it held when it was last read or
// written, whether it was opened read-only, and whether the book has a file of its own at all.
// MainLogic keeps the commands; it asks this class before it reads the file, before it writes
// over it, and after it wrote it.

#include "model/safefile.h"
#include "output/platform.h"

#include <QByteArray>
#include <QLockFile>
#include <QString>
#include <memory>
#include <optional>

namespace kirune {

// The answers of the two questions about the book's file, in order: when another program holds
// it (read-only, open as it is, cancel), and when another program changed it since it was read
// (save under another name, overwrite, cancel).
QList<Choice> HeldBookAnswers();
QList<Choice> ChangedOnDiskAnswers();

// A name chosen without an extension gets `suffix`, so the file dialogs' filters show it later.
QString WithSuffix(const QString& path, const char* suffix);

class BookFile {
public:
    explicit BookFile(Platform& platform) : platform_(platform) {}

    // A file on its way to becoming the book's: locked (when it could be) and read, nothing of
    // the open book given up yet.
    struct Opening {
        QString path;
        QByteArray bytes; // the file as read, the one time it is read
        std::unique_ptr<QLockFile> lock;
        bool readOnly = false;  // another program holds it and the teacher chose read-only
        bool noLock = false;    // no lock can be made in its folder
        bool takenOver = false; // a lock left behind by a program gone was taken over
    };
    // Open, first half: the lock, asking the teacher when another program holds it, then the
    // file read. False with a Japanese *error when it cannot be read, with "" when the teacher
    // chose not to open it.
    bool Open(const QString& path, Opening* opening, QString* error);
    // Open, second half, once the bytes were read as a book: the file is the book's, and what
    // it holds on disk is those very bytes. The lock of the earlier book is given up.
    void Take(Opening&& opening);

    enum class Overwrite {
        Cleared, // write it
        SaveAs,  // the teacher chose to save under another name instead
        Stop,    // write nothing (refused or cancelled; any message was shown)
    };
    // Before Save writes the book to `path`: a file opened read-only is refused, and one that
    // changed on disk since it was read or last written is only overwritten on the teacher's
    // word. Another file than the book's own is cleared unless another program holds it open
    // (refused, naming who): the save dialog asked before it was chosen. Its lock is taken
    // here and kept once it is written.
    Overwrite ClearedToOverwrite(const QString& path);
    // Why Save As (or an export, `exported`) may not write over `path`, before anyone asks
    // whether to replace it; "" when it may. Refused: the book's own file opened read-only, and
    // a book another program holds open; an export also never goes over the open book or its
    // backup. A file that will be refused is refused at once, in the save dialog.
    QString Refusal(const QString& path, bool exported) const;
    // Writes `bytes` to `path` once it was cleared, keeping the old file as its backup. The
    // book's own file is looked at once more right before it is replaced: when another program
    // changed it after it was cleared, nothing is written. False and a Japanese *error when
    // nothing was written; otherwise the file is the book's now (Written).
    bool Write(const QString& path, const QByteArray& bytes, QString* error);
    // Save or Save As wrote `bytes` to `path`: that file is the book's now, and under another
    // name its lock goes with it.
    void Written(const QString& path, const QByteArray& bytes);
    // The write that ClearedToOverwrite cleared failed: a lock taken for it is given up.
    void NotWritten() { targetLock_.reset(); }
    // A restored recovery copy of the book at `path` ("" for a book without a file): its lock
    // when free (read-only when another program holds it), and what the file holds now.
    void TakeOver(const QString& path);
    // No file: a new book, or none. The lock is given up.
    void Release();

    // Whether the book was opened from its file or saved to it; Save asks for a name without.
    bool HasOwnFile() const { return ownFile_; }
    bool ReadOnly() const { return readOnly_; }
    bool HoldsLock() const { return lock_ != nullptr; }

private:
    // The lock of the book at `path` for *opening; false when the teacher cancelled.
    bool Lock(const QString& path, Opening* opening);

    Platform& platform_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLockFile> targetLock_; // another file's, taken before it is written
    bool readOnly_ = false;
    bool ownFile_ = false;
    DiskStamp stamp_;                  // what the book's own file held when last read or written
    std::optional<DiskStamp> cleared_; // what it held when cleared to be overwritten
    QString path_;                     // that file ("" when none)
};

} // namespace kirune
