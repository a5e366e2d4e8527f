#pragma once
// Where an output may go: the one rule every writer of the program keeps (Save As, every
// export, a printout to a PDF file, every command of kirune-tool).

#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>

namespace kirune {

// The books an output must leave as they are.
struct KeptBooks {
    KeptBooks() = default;
    // The book open in the program (or read by a command); "" when none.
    KeptBooks(const QString& openBook) : open(openBook) {} // NOLINT: a path reads as its book
    QString open;
    QStringList summarised; // the books a summary was made of
    bool saving = false;    // the output is the open book saved: its own file may be replaced
};

// False and a Japanese *error when `path` may not be written: it is a kept book or its backup
// under any name of theirs (another spelling of the path, "..", a symbolic or a hard link), or
// a book another program holds (its lock is held). Otherwise the lock of `path` is taken, and
// handed to *lock (when given) to be kept while the file is written; it stays empty where no
// lock can be made.
bool CheckOutputPlace(const QString& path, const KeptBooks& books, QString* error,
                      std::unique_ptr<QLockFile>* lock = nullptr);

} // namespace kirune
