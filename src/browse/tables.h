#pragma once
// The five tables of the main grid. Each writes into the grid step by step, as the grid on
// screen shows it, and sets the caption of the frame above the grid.

#include "grid.h"
#include "model/gradebook.h"
#include "model/session.h"

#include <QString>
#include <vector>

namespace kirune {

// The grid's base layout: 43 rows, 15 columns, the header row and the numbers and names.
void InitMainGrid(const GradeBook& book, Grid& grid);

void ShowHomeRoomTable(const GradeBook& book, Session& session, Grid& grid, QString& caption);
void ShowTestTable(const GradeBook& book, Session& session, Grid& grid, QString& caption);
void ShowSemesterSubjectTable(const GradeBook& book, Session& session, Grid& grid,
                              QString& caption);
void ShowAnnualSubjectTable(const GradeBook& book, Session& session, Grid& grid, QString& caption);
void ShowViewpointTestTable(const GradeBook& book, Session& session, Grid& grid, QString& caption);

// The 24 subject tables a pupil's record is read from (six subjects, three semesters and the
// whole year), each built once and kept while what they show of the book stays the same: a
// teacher going from pupil to pupil, or printing every record, has them built once.
class SubjectTableCache {
public:
    // Drops the tables kept when what they show of `book` has changed.
    void Follow(const GradeBook& book);
    // The semester table of `subject` (period 0..2) or its annual table (period 3), after Follow.
    const Grid& Table(const GradeBook& book, const Session& session, int subject, int period);

private:
    size_t key_ = 0; // a hash of the sums, names and criteria the tables show
    std::vector<Grid> tables_;
    std::vector<bool> built_;
};

// One pupil's record (attendance number `number`): every subject's viewpoints and total in the
// three semesters and the whole year, each cell exactly as the semester or annual subject table
// shows it in the pupil's row. 25 rows, 14 shown columns. The tables are read through `cache`
// when one is given.
void ShowPupilRecordTable(const GradeBook& book, Session& session, int number, Grid& grid,
                          QString& caption, SubjectTableCache* cache = nullptr);
// The selection a click on the node `key` makes: subject, semester, test and viewpoint, as far
// as the key's level names them (the others stay as they are).
void SelectNode(Session& session, const QString& key);
// The table of the node `key` ("HomeRoom", a level key, the pupils' branch or a pupil), for the
// selection in `session`, as a click on the node shows it: one rule for the window, the
// printouts and the exports.
void ShowNodeTable(const GradeBook& book, Session& session, const QString& key, Grid& grid,
                   QString& caption, SubjectTableCache* cache = nullptr);

// The title of the table of node `key` where it stands alone (a printout, a workbook sheet): the
// frame caption, with the semester named for a viewpoint table, whose caption leaves it out
// ("… 国語　一学期　表現").
QString StandaloneCaption(const GradeBook& book, const QString& key, const QString& caption);

// The year's rating of every pupil in every subject's viewpoints, as the annual subject tables
// show them, and under every column the count of each rating, a row each ("A の人数",
// "B の人数", "C の人数"). 20 shown columns.
void ShowRatingsOverviewTable(const GradeBook& book, Session& session, Grid& grid,
                              QString& caption);

} // namespace kirune
