#pragma once
// The grade's classes side by side: one row per class book with, for every subject and
// viewpoint, the class average as a percentage of the viewpoint's points and the counts of A, B
// and C, and a last row for all the classes together (学年全体). The books are read one after
// another as they are on disk (no lock, nothing written beside them); only the book being read
// and the rows made so far are held.

#include "grid.h"
#include "model/gradebook.h"
#include "model/session.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace kirune {

// The period a summary is read from: a semester (0..2) or the whole year.
constexpr int kSummaryYear = 3;
// "学年", "一学期", "二学期", "三学期" for periods 3, 0, 1, 2.
QString SummaryPeriodLabel(int period);

// One viewpoint of one class (or of the whole grade).
struct ViewpointSummary {
    bool registered = false;     // something is registered for it in the period
    double ratioSum = 0;         // sum over the counted pupils of their PupilShare
    int pupils = 0;              // pupils in ratioSum: those who took a test of the period
    std::array<int, 3> counts{}; // A, B, C as the subject table rates them
    // Mean of the pupils' totals over the points, in percent; none when nothing is registered
    // or the period has no points for the viewpoint.
    std::optional<double> AveragePercent() const;
    void Add(const ViewpointSummary& other);
};

constexpr int kSummaryViewpoints = kSubjects * kViewpoints;

struct ClassSummary {
    QString path;    // the book's file
    QString heading; // year, grade and class, teacher
    QString year, grade, klass;
    int pupils = 0; // named pupils (transferred-out and empty places do not count)
    std::array<ViewpointSummary, kSummaryViewpoints> viewpoints{};
    bool duplicate = false; // another book of the same class was read too
};

struct UnreadBook {
    QString path;
    QString reason;
};

struct GradeSummary {
    int period = kSummaryYear;
    // Subject and viewpoint names of the columns, from the first book read.
    std::array<std::array<QString, kViewpoints + 1>, kSubjects> titles{};
    std::vector<ClassSummary> classes; // in the order the books were given
    ClassSummary whole;                // all pupils of all classes pooled
    std::vector<UnreadBook> unread;
    QStringList notes; // books of the same class, books naming the columns differently
};

// Reads books one at a time into a summary.
class GradeSummaryReader {
public:
    explicit GradeSummaryReader(int period);
    ~GradeSummaryReader();
    // Reads the book at `path` and adds its row, or lists it with the reason it was not read.
    void Add(const QString& path);
    // The summary of every book added: duplicates marked, the whole grade pooled.
    GradeSummary Finish();

private:
    GradeSummary summary_;
    std::unique_ptr<GradeBook> book_; // used again for every book
    Session session_;
    Grid table_;
    bool haveTitles_ = false;
};

GradeSummary SummariseBooks(const QStringList& paths, int period);

// A pupil's share of a viewpoint in a period (0..2, or kSummaryYear): the points scored on the
// tests taken over the points of those tests; a test the pupil was absent from (or has no score
// in) counts in neither. None when the pupil took no test of the period.
std::optional<double> PupilShare(const GradeBook& book, int period, int subject, int viewpoint,
                                 int number);

// The subjects with something registered in the period in any class, in order: the subjects the
// table shows.
std::vector<int> SummarySubjects(const GradeSummary& summary);

// What a class row shows in the 学級 column: its heading, and the file name when another book of
// the same class was read too.
QString SummaryClassLabel(const ClassSummary& row);

// The summary as a table: "No.", "学級", "人数" (as wide as its longest label), then four columns
// per viewpoint of each subject of SummarySubjects ("平均 %" with one decimal place, "A", "B",
// "C"), a row per class and the row "学年全体". Numbers are written the same in every regional
// setting ("64.9"). Returns the number of columns shown.
int ShowGradeSummaryTable(const GradeSummary& summary, Grid& grid, QString& caption);

// The lines listed under the table: each book not read with its reason, then the notes.
QStringList SummaryNoteLines(const GradeSummary& summary);

// The message for a summary that has no table (nothing chosen, nothing readable); empty when
// there is a table.
QString SummaryEmptyMessage(const GradeSummary& summary);

} // namespace kirune
