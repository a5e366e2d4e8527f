#pragma once
// The annual criteria editor's behaviour without a window: renaming a subject and its three
// viewpoints, and the whole-year A and C shares of the viewpoints with the live graphs of the
// pupils' whole-year totals. FormSubjectSpec shows this state and forwards its events.

#include "criteriaeditor.h"

#include <QStringList>

namespace kirune {

class SubjectSpecEditor : public CriteriaEditor {
public:
    // Edits Session::CurrentSubject.
    SubjectSpecEditor(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main);

    double GraphY(int viewpoint) const override;
    // Text1/Text2 are viewpoint 0's A and C boxes; in the middle frame Text4 is the A box and
    // Text3 the C box; Text5/Text6 are viewpoint 2's.
    std::pair<int, ShareRole> BoxOfControl(int textNumber) const override;

    // --- State shown by the window --------------------------------------------------------
    std::array<QString, 4> combo; // Combo1 (subject), Combo2..Combo4 (viewpoints 1..3)
    QStringList subjectItems;     // Combo1's list
    QStringList viewpointItems;   // the list of Combo2, Combo3 and Combo4
    // Captions of the name labels Label1..Label4, which also name the fields in messages.
    static QString ComboLabel(int comboNumber);

    // --- Events ----------------------------------------------------------------------------
    // Title, captions, the name lists and texts, the shares from the grade book (each raising
    // its change event) and the B shares.
    void Form_Load();
    // Clears the layer and draws the stored graphs.
    void Form_Activate() override;
    void Combo_Change(int comboNumber, const QString& text); // 1..4
    // 登録: checks, grows the name lists, renames and stores the shares, then closes; false
    // (nothing stored) when refused.
    bool Command1_Click() override;
    bool HasUnregisteredChanges() const override;

    static constexpr double kClientWidth = 9285;
    static constexpr double kClientHeight = 8175;

private:
    bool CheckNames();
};

} // namespace kirune
