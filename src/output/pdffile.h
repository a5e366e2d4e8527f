#pragma once
// Printouts that go to a PDF file are written as every file of the program is: never over the
// open book or its backup, made aside and put in place only when complete.

#include "model/outputplace.h"

#include <QString>
#include <functional>

class QPrinter;

namespace kirune {

class Platform;

// Draws one document on the printer it is given; false when it could not (it says why itself).
using PaintJob = std::function<bool(QPrinter&)>;

// `paint` as it must run for a printer that writes a PDF file: the document goes to a file aside,
// which is then put in place at the printer's output file (PlaceMadeFile), unless that file is
// a place CheckOutputPlace refuses for `books`. A failure is shown as a message and
// leaves the earlier file as it was. A print preview paints without writing a file: nothing is
// put in place then. For a real printer `paint` runs as it is.
PaintJob PaintingPdfAside(Platform& platform, const KeptBooks& books, PaintJob paint);

} // namespace kirune
