#pragma once
// Start-up with a file: `kirune 4年2組.txt`, or a double-click on a class file (the desktop entry
// passes the file's path). main and the tests share this path.

#include "mainlogic.h"

#include <QString>
#include <QStringList>

namespace kirune {

// The file named on the command line (`arguments` as QCoreApplication::arguments() gives them,
// the program first): the first argument that is not an option, or any after "--"; a "file:"
// URL gives its local path. An absolute path; "" when no file is named.
QString CommandLineFile(const QStringList& arguments);

// Opens the file named on the command line as Open does, once the window has started. A file
// that cannot be read gives the reader's message and leaves the empty start. False when nothing
// was opened (or nothing was named).
bool OpenCommandLineFile(MainLogic& logic, const QStringList& arguments);

// Before the window is first shown: opens the named file when nothing is left to recover and
// the file can be read, so that the window appears with its class at once. False leaves the
// file to OpenCommandLineFile once the window is up (a recovery copy is offered first; a file
// that cannot be read gives its message over the window).
bool OpenCommandLineFileBeforeShow(MainLogic& logic, const QStringList& arguments);

} // namespace kirune
