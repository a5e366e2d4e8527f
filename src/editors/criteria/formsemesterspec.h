#pragma once
// 学期毎の評定基準の作成: the window of the semester criteria editor. It shows
// SemesterSpecEditor's state, forwards its events and keeps the layer the graphs are drawn on.

#include "criteriaform.h"
#include "semesterspeceditor.h"

namespace kirune {

class FormSemesterSpec : public CriteriaFormBase {
public:
    FormSemesterSpec(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main,
                     QWidget* parent = nullptr);

    SemesterSpecEditor& logic() { return static_cast<SemesterSpecEditor&>(editor()); }

    // The criteria frames by their designer names Frame1..Frame3; the B labels are Label4, 11
    // and 18.
    QGroupBox* Frame(int viewpoint) const { return CriteriaFrame(viewpoint); }
};

} // namespace kirune
