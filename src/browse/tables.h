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

} // namespace kirune
