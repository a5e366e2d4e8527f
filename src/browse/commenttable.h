#pragma once
// The class's report-card comments as a table, for pasting into the school's system: one row per
// named pupil with the number, the name and the comments of the chosen periods.

#include "grid.h"
#include "model/gradebook.h"

#include <QString>

namespace kirune {

// `period` 0..3 gives that period's comment alone; -1 every period, a column each.
void ShowCommentsTable(const GradeBook& book, int period, Grid& grid, QString& caption);

} // namespace kirune
