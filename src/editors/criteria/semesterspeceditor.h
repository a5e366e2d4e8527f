#pragma once
// The semester criteria editor's behaviour without a window: the A and C shares of a subject's
// three viewpoints for one semester, with the live graphs of the pupils' semester totals.
// FormSemesterSpec shows this state and forwards its events.

#include "criteriaeditor.h"

namespace kirune {

class SemesterSpecEditor : public CriteriaEditor {
public:
    // Edits Session::CurrentSubject in Session::CurrentSemester.
    SemesterSpecEditor(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main);

    int semester() const { return period; }

    double GraphY(int viewpoint) const override;
    // Text1/Text2 are viewpoint 0's A and C boxes, Text3/Text4 viewpoint 1's, Text5/Text6
    // viewpoint 2's.
    std::pair<int, ShareRole> BoxOfControl(int textNumber) const override;

    // Clears the layer, sets the title and captions, fills the boxes from the stored shares
    // (each raising its change event), shows the B shares and draws the stored graphs.
    void Form_Activate() override;
    // 登録: stores the six shares and closes; false (nothing stored) when a pair exceeds 100 %.
    bool Command1_Click() override;

    static constexpr double kClientWidth = 9255;
    static constexpr double kClientHeight = 7680;
};

} // namespace kirune
