#pragma once
// Reading a pupils' roster file: names separated by ";", "," or line ends, in code page 932.
// Pure functions: the command that stores the names lives with the main window's logic.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "tablefile.h"

namespace kirune {

struct RosterImport {
    bool ok = false;
    QStringList names; // in file order; attendance number i + 1 for names[i]
    QString message;   // why the file was refused (when !ok)
};

// Cuts the file's text into names. Lines end in CR LF, LF or CR. ";" takes precedence over ",":
// a line that holds a ";" is cut at its semicolons and its commas stay in the names ("A;B,C" gives
// "A" and "B,C"); a line without one is cut at its commas. Every non-empty field is a name,
// unchanged; empty fields and lines use up no number. The text is read in UTF-16 or UTF-8 where
// DetectTextEncoding says so, else in code page 932. Refused (no names), with the line: bytes
// that cannot be decoded, names holding control characters, and more than 40 names (the
// roster's places).
RosterImport ParseRoster(const QByteArray& bytes);

// A roster from a table (the sheet a workbook opens on, or CSV text) whose header row names a name
// column (氏名, 名前, 生徒氏名): the names below it in row order. Rows without a name are
// skipped; when the table also has a number column (出席番号, 番号, No.), so are rows without a
// pupil's number in it (a class-average row). So the program's own homeroom table, saved as CSV
// or as a workbook, becomes the next year's roster. Refused: names that the grade book file
// cannot hold (";", line breaks, control characters) and more than 40 names.
RosterImport RosterFromTable(const TableFile& table);

// The file's bytes as a roster: a workbook, or CSV text with a name column, as RosterFromTable
// reads them; any other text as ParseRoster does. `shownName` names the file in refusals.
RosterImport ParseRosterFile(const QByteArray& bytes, const QString& shownName);

// Reads `path` and parses it; a file that is not a regular file, or cannot be opened or read, is
// refused with a message naming it.
RosterImport ReadRosterFile(const QString& path);

} // namespace kirune
