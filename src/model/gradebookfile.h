#pragma once
// The grade book file: 1655 lines in code page 932, CR LF, ";" after every field, and the
// backup copy with the extension "bak" made on every save.

#include "gradebook.h"

#include <QByteArray>
#include <QString>

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
// and puts a Japanese message naming the line and the problem into *error. Bad lines of the
// comments' section after the fixed lines do not stop the reading: they are passed over and
// named in *warning (left as it is when there are none).
bool ParseGradeBookFile(const QByteArray& bytes, GradeBook& book, QString* error,
                        QString* warning = nullptr);

// Reads the file at `path` (see ParseGradeBookFile); a file that cannot be opened is refused
// the same way.
bool ReadGradeBookFile(const QString& path, GradeBook& book, QString* error,
                       QString* warning = nullptr);
// Only the bytes of the file at `path`, refused as ReadGradeBookFile refuses a file it cannot
// read or that is too large to be a grade book.
bool ReadGradeBookBytes(const QString& path, QByteArray* bytes, QString* error);

// False and a Japanese *error naming the first text the file cannot hold: a line break anywhere,
// or a ";" in a text that is stored as a field (every text but the four homeroom lines); or a
// comment refused by CommentRefusal.
bool CheckStorableTexts(const GradeBook& book, QString* error);

// Writes the grade book to `path` with the backup step (refusing texts the file cannot hold); false
// and *error on failure, in which case the file on disk is as it was.
bool WriteGradeBookFile(const QString& path, const GradeBook& book, QString* error,
                        QByteArray* written = nullptr);

} // namespace kirune
