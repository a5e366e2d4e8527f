#pragma once
// The five tables of the main grid. Each writes into the grid step by step, as the grid on
// screen shows it, and sets the caption of the frame above the grid.

#include "grid.h"
#include "model/gradebook.h"
#include "model/session.h"

#include <QString>

namespace kirune {

// The grid's base layout: 43 rows, 15 columns, the header row and the numbers and names.
void InitMainGrid(const GradeBook& book, Grid& grid);

void ShowHomeRoomTable(const GradeBook& book, Session& session, Grid& grid, QString& caption);
void ShowTestTable(const GradeBook& book, Session& session, Grid& grid, QString& caption);
void ShowSemesterSubjectTable(const GradeBook& book, Session& session, Grid& grid,
                              QString& caption);
void ShowAnnualSubjectTable(const GradeBook& book, Session& session, Grid& grid, QString& caption);
void ShowViewpointTestTable(const GradeBook& book, Session& session, Grid& grid, QString& caption);

// One pupil's record (attendance number `number`): every subject's viewpoints and total in the
// three semesters and the whole year, each cell exactly as the semester or annual subject table
// shows it in the pupil's row. 25 rows, 14 shown columns.
void ShowPupilRecordTable(const GradeBook& book, Session& session, int number, Grid& grid,
                          QString& caption);
// The year's rating of every pupil in every subject's viewpoints, as the annual subject tables
// show them, with the count of each rating under every column. 20 shown columns.
void ShowRatingsOverviewTable(const GradeBook& book, Session& session, Grid& grid,
                              QString& caption);

} // namespace kirune
