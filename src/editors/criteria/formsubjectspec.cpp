#include "formsubjectspec.h"

#include "editors/common/twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

constexpr CriteriaFormLayout kLayout{
    .clientWidth = SubjectSpecEditor::kClientWidth,
    .clientHeight = SubjectSpecEditor::kClientHeight,
    .frameTop = {960, 3360, 5760},
    .iconLeft = 360,
    .rankLabelLeft = 1080,
    .boxLeft = 2160,
    .spinnerLeft = 2775,
    .bLabelLeft = 2160,
    .percentLeft = 3120,
    .buttonLeft = 7800,
    .buttonWidth = 1335, // "ｸﾞﾗﾌを印刷(P)" whole
    .buttonTop = {1080, 2520, 1800},
    // The designer's box numbers: the middle frame's A box is Text4 and its C box Text3; the
    // spinners go in order.
    .aText = {1, 4, 5},
    .cText = {2, 3, 6},
    .aUpDown = {1, 3, 5},
    .cUpDown = {2, 4, 6},
};

} // namespace

FormSubjectSpec::FormSubjectSpec(GradeBook& book, Session& session, Platform& platform,
                                 MainFormHooks& main, QWidget* parent)
    : CriteriaFormBase(std::make_unique<SubjectSpecEditor>(book, session, platform, main), kLayout,
                       parent) {
    BuildNameControls();
    BuildCriteriaControls();
    auto* picture2 = new DecorativePicture(this, DecorativePicture::Kind::Pencil);
    PlaceTwips(picture2, 8160, 3600, 855, 855);
    auto* pictCat = new DecorativePicture(this, DecorativePicture::Kind::Cat);
    PlaceTwips(pictCat, 8040, 6600, 1095, 1095);
    ConnectLogic();
    logic().Form_Load();
    Refresh();
}

void FormSubjectSpec::BuildNameControls() {
    // The names of the subject and its viewpoints, in one row.
    auto* frame1 = new QGroupBox(u"科目と観点の名前の変更"_s, this);
    PlaceTwips(frame1, 120, 120, 9015, 735);
    constexpr double labelLeft[4] = {180, 2520, 4680, 6840}; // "科目" whole
    constexpr double comboLeft[4] = {600, 3120, 5280, 7440};
    constexpr double comboWidth[4] = {1695, 1335, 1335, 1335};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(SubjectSpecEditor::ComboLabel(i + 1), frame1);
        PlaceTwips(label, labelLeft[i], 330, comboLeft[i] - labelLeft[i] - 30, 255);
        auto* combo = new QComboBox(frame1);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMaxVisibleItems(20);
        PlaceTwips(combo, comboLeft[i], 270, comboWidth[i], 360);
        combo->setAccessibleName(SubjectSpecEditor::ComboLabel(i + 1) + u"の名前"_s);
        combo_[i] = combo;
        const int number = i + 1;
        connect(combo, &QComboBox::editTextChanged, this, [this, number](const QString& text) {
            if (!refreshing_)
                logic().Combo_Change(number, text);
        });
    }
}

void FormSubjectSpec::Refresh() {
    refreshing_ = true;
    CriteriaFormBase::Refresh();
    const SubjectSpecEditor& state = logic();
    for (int i = 0; i < 4; ++i) {
        QComboBox* combo = combo_[i];
        const QStringList& items = i == 0 ? state.subjectItems : state.viewpointItems;
        QStringList shown;
        for (int j = 0; j < combo->count(); ++j)
            shown.push_back(combo->itemText(j));
        if (shown != items) {
            combo->clear();
            combo->addItems(items);
        }
        if (combo->currentText() != state.combo[i])
            combo->setEditText(state.combo[i]);
    }
    refreshing_ = false;
}

} // namespace kirune
