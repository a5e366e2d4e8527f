#include "formsemesterspec.h"

#include "editors/common/twips.h"

namespace kirune {

namespace {

constexpr CriteriaFormLayout kLayout{
    .clientWidth = SemesterSpecEditor::kClientWidth,
    .clientHeight = SemesterSpecEditor::kClientHeight,
    .frameTop = {240, 2760, 5280},
    .iconLeft = 600,
    .rankLabelLeft = 1440,
    .boxLeft = 2280,
    .spinnerLeft = 2895,
    .bLabelLeft = 2280,
    .percentLeft = 3240,
    .buttonLeft = 7800,
    .buttonWidth = 1335, // "ｸﾞﾗﾌを印刷(P)" whole
    .buttonTop = {600, 2040, 1320},
    // Text1..Text6 and UpDown1..UpDown6: the A and C box of each frame in turn.
    .aText = {1, 3, 5},
    .cText = {2, 4, 6},
    .aUpDown = {1, 3, 5},
    .cUpDown = {2, 4, 6},
};

} // namespace

FormSemesterSpec::FormSemesterSpec(GradeBook& book, Session& session, Platform& platform,
                                   MainFormHooks& main, QWidget* parent)
    : CriteriaFormBase(std::make_unique<SemesterSpecEditor>(book, session, platform, main), kLayout,
                       parent) {
    BuildCriteriaControls();
    auto* pictHorse = new DecorativePicture(this, DecorativePicture::Kind::Horse);
    PlaceTwips(pictHorse, 7920, 5880, 1215, 1215);
    ConnectLogic();
    Refresh();
}

} // namespace kirune
