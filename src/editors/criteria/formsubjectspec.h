#pragma once
// 通年の評定基準の作成: the window of the annual criteria editor. It shows SubjectSpecEditor's
// state, forwards its events and keeps the layer the graphs are drawn on. Above the criteria
// frames, the names of the subject and its viewpoints can be changed.

#include "criteriaform.h"
#include "subjectspeceditor.h"

#include <array>

class QComboBox;

namespace kirune {

// Its criteria frames are the designer's Frame2..Frame4 and its B labels Label8, 14 and 21.
class FormSubjectSpec : public CriteriaFormBase {
public:
    FormSubjectSpec(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main,
                    QWidget* parent = nullptr);

    SubjectSpecEditor& logic() { return static_cast<SubjectSpecEditor&>(editor()); }

    // The name boxes by their designer names, for tests.
    QComboBox* Combo(int number) const { return combo_[number - 1]; } // Combo1..Combo4

protected:
    void Refresh() override;

private:
    void BuildNameControls();

    bool refreshing_ = false;
    std::array<QComboBox*, 4> combo_{};
};

} // namespace kirune
