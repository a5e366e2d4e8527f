#include "semesterspeceditor.h"

#include "model/numbers.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kirune {

SemesterSpecEditor::SemesterSpecEditor(GradeBook& book_, Session& session_, Platform& platform_,
                                       MainFormHooks& main_)
    : CriteriaEditor(book_, session_, platform_, main_,
                     std::clamp<int>(session_.CurrentSemester, 0, kSemesters - 1),
                     session_.CurrentSubject) {
    title = u"学期毎の評定基準の作成"_s;
}

double SemesterSpecEditor::GraphY(int viewpoint) const {
    constexpr double y[3] = {340, 2860, 5280};
    return y[std::clamp(viewpoint, 0, 2)];
}

std::pair<int, ShareRole> SemesterSpecEditor::BoxOfControl(int textNumber) const {
    const int n = std::clamp(textNumber, 1, 6) - 1;
    return {n / 2, n % 2 == 0 ? ShareRole::A : ShareRole::C};
}

void SemesterSpecEditor::Form_Activate() {
    if (clearLayer)
        clearLayer();
    title = book.SubjectTitles[subject][0] + u"の"_s + book.SemesterNames[period] +
            u"の評定基準の作成"_s;
    for (int k = 0; k < kViewpoints; ++k)
        frames[k].caption = book.SubjectTitles[subject][k + 1] + u"の評定基準"_s;
    Notify();
    // Text1, Text3, Text5 first, then Text2, Text4, Text6.
    for (int k = 0; k < kViewpoints; ++k)
        SetBoxText(k, ShareRole::A, NumberText(StoredA(k)));
    for (int k = 0; k < kViewpoints; ++k)
        SetBoxText(k, ShareRole::C, NumberText(StoredC(k)));
    ShowBShares();
    DrawStoredGraphs();
}

bool SemesterSpecEditor::Command1_Click() {
    if (Closed() || !CheckPairs() || !CheckShareValues())
        return false;
    for (int k = 0; k < kViewpoints; ++k)
        StoreShare(k, ShareRole::A);
    for (int k = 0; k < kViewpoints; ++k)
        StoreShare(k, ShareRole::C);
    session.MarkChanged();
    main.RecordStep(book.SubjectTitles[subject][0] + u' ' + book.SemesterNames[period] +
                    u"の評定基準の登録"_s);
    Close();
    return true;
}

} // namespace kirune
