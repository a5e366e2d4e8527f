#pragma once
// Reading a pupils' roster file: names separated by ";", "," or line ends, in code page 932.
// Pure functions: the command that stores the names lives with the main window's logic.

#include <QByteArray>
#include <QString>
#include <QStringList>

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

// Reads `path` and parses it; a file that is not a regular file, or cannot be opened or read, is
// refused with a message naming it.
RosterImport ReadRosterFile(const QString& path);

// Largest roster file read; anything bigger cannot be a class roster.
constexpr qint64 kMaxRosterFileBytes = 4 * 1024 * 1024;

} // namespace kirune
