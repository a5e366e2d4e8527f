// The test editor's scores read from a file: the boxes are filled as if the teacher had typed
// them, one pupil after another.
#include "testeditor.h"

#include "model/numbers.h"

#include <cmath>

namespace kirune {

std::optional<ScoreImportTarget> TestEditor::BeginScoreImport() {
    CommitEntryRow();
    if (session.ScoreEntryError == -1)
        return std::nullopt;
    ScoreImportTarget target;
    for (int n = 1; n <= roster_; ++n) {
        target.names.push_back(book.StudentNames[n - 1]);
        target.current.push_back(
            {scoreGrid.Text(n, 2), scoreGrid.Text(n, 3), scoreGrid.Text(n, 4)});
    }
    for (int v = 0; v < kViewpoints; ++v) {
        target.viewpoints[v] = ViewpointName(v);
        target.checked[v] = ViewpointChecked(v);
        // The points as the check of a typed score reads them.
        const double points = LeadingNumber(PointsBox(v));
        target.points[v] = points > 0 && points < 10000 ? static_cast<int>(std::floor(points)) : 0;
    }
    return target;
}

void TestEditor::ImportScores(const ScorePreview& preview) {
    const int shown = session.CurrentStudentNo;
    for (const ImportedPupil& pupil : preview.matched) {
        if (!IsChoosablePupil(pupil.number))
            continue;
        ShowPupil(pupil.number, 0, false);
        for (int v = 0; v < kViewpoints; ++v)
            ScoreBox(v) = pupil.boxes[v];
        CommitEntryRow();
    }
    ShowPupil(IsChoosablePupil(shown) ? shown : NextNamedPupil(0, +1), 0);
    Notify();
}

} // namespace kirune
