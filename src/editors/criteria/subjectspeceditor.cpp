#include "subjectspeceditor.h"

#include "model/numbers.h"
#include "model/storabletext.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// Puts `text` into the first free place of a name list unless the list already has it; a full
// list stays as it is.
template <std::size_t N>
void AddChoice(std::array<QString, N>& list, int used, const QString& text) {
    for (int i = 0; i < used; ++i) {
        if (list[i] == text)
            return;
        if (list[i].isEmpty()) {
            list[i] = text;
            return;
        }
    }
}

} // namespace

SubjectSpecEditor::SubjectSpecEditor(GradeBook& book_, Session& session_, Platform& platform_,
                                     MainFormHooks& main_)
    : CriteriaEditor(book_, session_, platform_, main_, 3, session_.CurrentSubject) {
    title = u"通年の評定基準の作成"_s;
}

double SubjectSpecEditor::GraphY(int viewpoint) const {
    constexpr double y[3] = {1060, 3460, 5860};
    return y[std::clamp(viewpoint, 0, 2)];
}

std::pair<int, ShareRole> SubjectSpecEditor::BoxOfControl(int textNumber) const {
    switch (std::clamp(textNumber, 1, 6)) {
    case 1:
        return {0, ShareRole::A};
    case 2:
        return {0, ShareRole::C};
    case 3:
        return {1, ShareRole::C};
    case 4:
        return {1, ShareRole::A};
    case 5:
        return {2, ShareRole::A};
    default:
        return {2, ShareRole::C};
    }
}

QString SubjectSpecEditor::ComboLabel(int comboNumber) {
    switch (comboNumber) {
    case 1:
        return u"科目"_s;
    case 2:
        return u"観点1"_s;
    case 3:
        return u"観点2"_s;
    default:
        return u"観点3"_s;
    }
}

void SubjectSpecEditor::Form_Load() {
    const auto& titles = book.SubjectTitles[subject];
    title = titles[0] + u"の通年の評定基準の作成"_s;
    for (int k = 0; k < kViewpoints; ++k)
        frames[k].caption = titles[k + 1] + u"の評定基準"_s;

    subjectItems.clear();
    for (int i = 0; i < kSubjectNameChoices; ++i)
        if (!book.SubjectNameChoices[i].isEmpty())
            subjectItems.push_back(book.SubjectNameChoices[i]);
    viewpointItems.clear();
    for (int i = 0; i < kViewpointNameChoices; ++i)
        if (!book.ViewpointNameChoices[i].isEmpty())
            viewpointItems.push_back(book.ViewpointNameChoices[i]);
    for (int i = 0; i < 4; ++i)
        combo[i] = titles[i];
    Notify();

    // Text1, Text2, Text4, Text3, Text5, Text6: A then C of each viewpoint.
    for (int k = 0; k < kViewpoints; ++k) {
        SetBoxText(k, ShareRole::A, NumberText(StoredA(k)));
        SetBoxText(k, ShareRole::C, NumberText(StoredC(k)));
    }
    ShowBShares();
}

void SubjectSpecEditor::Form_Activate() {
    if (clearLayer)
        clearLayer();
    DrawStoredGraphs();
}

void SubjectSpecEditor::Combo_Change(int comboNumber, const QString& text) {
    if (comboNumber < 1 || comboNumber > 4 || combo[comboNumber - 1] == text)
        return;
    combo[comboNumber - 1] = text;
    Notify();
}

bool SubjectSpecEditor::CheckNames() {
    // The three viewpoints must differ.
    if (combo[1] == combo[2] || combo[1] == combo[3] || combo[2] == combo[3]) {
        platform.ShowMessage(u"観点の項目が重なっています"_s);
        return false;
    }
    // The subject's name must not be another subject's (nor empty).
    bool taken = combo[0].isEmpty();
    for (int i = 0; i <= kSubjects; ++i)
        if (i != subject && combo[0] == book.SubjectTitles[i][0])
            taken = true;
    if (taken) {
        platform.ShowMessage(u"その教科は登録済みです"_s);
        return false;
    }
    return true;
}

bool SubjectSpecEditor::Command1_Click() {
    if (Closed() || !CheckPairs() || !CheckNames() || !CheckShareValues())
        return false;
    for (int i = 0; i < 4; ++i) {
        if (const QString message = UnstorableMessage(ComboLabel(i + 1) + u"の名前"_s, combo[i]);
            !message.isEmpty()) {
            platform.ShowMessage(message);
            return false;
        }
    }

    AddChoice(book.SubjectNameChoices, kSubjectNameChoices, combo[0]);
    for (int i = 1; i < 4; ++i)
        AddChoice(book.ViewpointNameChoices, kViewpointNameChoices, combo[i]);
    for (int i = 0; i < 4; ++i)
        book.SubjectTitles[subject][i] = combo[i];
    for (int k = 0; k < kViewpoints; ++k) {
        StoreShare(k, ShareRole::A);
        StoreShare(k, ShareRole::C);
    }
    session.MarkChanged();
    main.RecordStep(combo[0] + u"の通年の評定基準の登録"_s);
    Close();
    return true;
}

bool SubjectSpecEditor::HasUnregisteredChanges() const {
    if (Closed())
        return false;
    for (int i = 0; i < 4; ++i)
        if (combo[i] != book.SubjectTitles[subject][i])
            return true;
    return CriteriaEditor::HasUnregisteredChanges();
}

} // namespace kirune
