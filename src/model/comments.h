#pragma once
// Report-card comments (所見) in the grade book file. The fixed format ends at line 1655 and its
// readers ignore what follows, so the comments follow there in a section of their own:
//
//   [所見]
//   字数;P;L;       the class's length limit L of period P, when it is not the default
//   N;P;TEXT;       the comment of attendance number N for period P
//
// P is 1..3 for the semesters and 4 for the year. In TEXT "\" is written "\\", ";" "\s", a line
// feed "\n" and a carriage return "\r", so every comment keeps to one line and one field. A book
// without comments and with the default limits has no section: its file is the fixed format.

#include "gradebook.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace kirune {

class FileBuffer;

// The period's name as the editor and the record show it: the semester's name, or 年間.
QString CommentPeriodName(const GradeBook& book, int period);

QString EscapeComment(QStringView text);
// False when `text` holds a "\" that starts no escape above.
bool UnescapeComment(QStringView text, QString* out);

// Appends the section of `book`'s comments (nothing when it has none to keep).
void AppendCommentSection(const GradeBook& book, FileBuffer& out);

// The comments and limits as read from the lines after the fixed ones.
struct CommentSection {
    std::array<std::array<QString, kCommentPeriods>, kMaxPupils> comments{};
    std::array<int16_t, kCommentPeriods> limits{kDefaultCommentLimit, kDefaultCommentLimit,
                                                kDefaultCommentLimit, kDefaultCommentLimit};
};
// Reads `rest` (what follows line `lastLine`, in UTF-8 with `utf8`, else code page 932) into
// `section`. A bad line (not a comment or limit line, an unknown period or number, a comment
// given twice or too long, bytes that are no text) is passed over, and named in *warning; the
// good lines are kept. Never fails.
void ReadCommentSection(QByteArrayView rest, bool utf8, int lastLine, CommentSection& section,
                        QString* warning);

// The first character of `text` that code page 932 cannot hold, or "" when there is none.
QString CharacterOutsideCp932(QStringView text);

// The length a comment is held to its class's limit by: its characters without line breaks.
inline qsizetype CommentLength(QStringView text) {
    return text.size() - text.count(u'\n') - text.count(u'\r');
}

// The comment in lines of at most `width` places, a character below U+0100 or a half-width
// katakana taking one and any other two; its own line breaks end lines too (a printout and the
// record wrap it so).
QStringList WrapComment(QStringView text, int width);

// Why `text` cannot be kept as a comment: "" when it can; else a Japanese message naming the
// character the file's code page cannot hold, or the length above kMaxCommentLength.
QString CommentRefusal(QStringView text);

} // namespace kirune
