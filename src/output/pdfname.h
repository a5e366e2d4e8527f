#pragma once
// The file names offered when a printout is saved as a PDF file or a table is exported: the
// class and the table, so that the teacher finds the page again ("3年1組_国語_一学期.pdf").

#include "model/gradebook.h"

#include <QString>

namespace kirune {

// The table of the tree node `nodeKey`, as a file with the given extension ("csv").
QString TableFileName(const GradeBook& book, const QString& nodeKey, const QString& extension);
// The printout of the table of the tree node `nodeKey`.
QString TablePdfName(const GradeBook& book, const QString& nodeKey);
// The whole book as a workbook ("3年1組_成績簿.xlsx").
QString BookWorkbookName(const GradeBook& book);
// The book's own file for a class without one yet ("3年1組.txt"); "" before the class has a
// grade or a class.
QString ClassBookName(const GradeBook& book);
// The printout of every pupil's record.
QString PupilRecordsPdfName(const GradeBook& book);
// The graph page of `subject` for semester 0..2, or 3 for the whole year.
QString GraphPdfName(const GradeBook& book, int subject, int semester);

} // namespace kirune
