#pragma once
// The file name offered when a printout is saved as a PDF file: the class and the table, so
// that the teacher finds the page again ("3年1組_国語_一学期.pdf").

#include "model/gradebook.h"

#include <QString>

namespace kirune {

// The printout of the table of the tree node `nodeKey`.
QString TablePdfName(const GradeBook& book, const QString& nodeKey);
// The printout of every pupil's record.
QString PupilRecordsPdfName(const GradeBook& book);
// The graph page of `subject` for semester 0..2, or 3 for the whole year.
QString GraphPdfName(const GradeBook& book, int subject, int semester);

} // namespace kirune
