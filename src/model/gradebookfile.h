#pragma once
// The grade book file: 1655 lines in code page 932, CR LF, ";" after every field, and the
// backup copy with the extension "bak" made on every save.

#include "gradebook.h"
#include "safefile.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace kirune {

constexpr int kGradeBookFileLines = 1655;
// A grade book file takes about 200 KB; anything above this is refused unread.
constexpr qsizetype kMaxGradeBookFileBytes = 8 * 1024 * 1024;

// The whole file as bytes (what the writer puts on disk).
QByteArray GradeBookFileBytes(const GradeBook& book);
// The same into `bytes`, whose room is used again when it is large enough (for callers that
// write many books one after another).
void GradeBookFileBytes(const GradeBook& book, QByteArray& bytes);

// Reads a grade book from bytes into `book`. On failure returns false, leaves `book` untouched
// and puts a Japanese message naming the line and the problem into *error.
bool ParseGradeBookFile(const QByteArray& bytes, GradeBook& book, QString* error);

// Reads the file at `path` (see ParseGradeBookFile); a file that cannot be opened is refused
// the same way.
bool ReadGradeBookFile(const QString& path, GradeBook& book, QString* error);

// False and a Japanese *error naming the first text the file cannot hold: a line break anywhere,
// or a ";" in a text that is stored as a field (every text but the four homeroom lines).
bool CheckStorableTexts(const GradeBook& book, QString* error);

// Writes the grade book to `path` with the backup step (refusing texts the file cannot hold); false
// and *error on failure, in which case the file on disk is as it was.
bool WriteGradeBookFile(const QString& path, const GradeBook& book, QString* error,
                        QByteArray* written = nullptr);

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

// The same for any device (used by tests to make a device fail part-way).
bool WriteAllTo(QIODevice& device, const QByteArray& bytes, QString* error);

} // namespace kirune
