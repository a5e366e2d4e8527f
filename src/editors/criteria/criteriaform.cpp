#include "criteriaform.h"

#include "editors/common/accessibility.h"
#include "editors/common/twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace kirune {

CriteriaFormBase::CriteriaFormBase(std::unique_ptr<CriteriaEditor> logic,
                                   const CriteriaFormLayout& layout, QWidget* parent)
    : QWidget(parent, Qt::Window), logic_(std::move(logic)), layout_(layout) {
    setFixedSize(TwipsRectToPixels(0, 0, layout_.clientWidth, layout_.clientHeight).size());
    MarkAsDialog(this);
    layer_.Resize(size(), devicePixelRatioF());
    layer_.Clear(palette().color(QPalette::Window));
}

CriteriaFormBase::~CriteriaFormBase() {
    // The hooks point at this window; the logic must not call them while it goes away.
    logic_->paint = nullptr;
    logic_->clearLayer = nullptr;
    logic_->changed = nullptr;
    logic_->closeWindow = nullptr;
    logic_->focusBox = nullptr;
    // A box that loses the focus while the window goes away reports the end of its editing.
    for (ShareLineEdit* box : text_)
        if (box)
            disconnect(box, nullptr, this, nullptr);
}

void CriteriaFormBase::ConnectLogic() {
    logic_->paint = [this](const std::function<void(Canvas&)>& draw) {
        layer_.Paint(draw);
        update();
    };
    logic_->clearLayer = [this] {
        layer_.Clear(palette().color(QPalette::Window));
        update();
    };
    logic_->changed = [this] { Refresh(); };
    logic_->closeWindow = [this] { close(); };
    logic_->focusBox = [this](int viewpoint, ShareRole role) {
        for (int number = 1; number <= 6; ++number)
            if (logic_->BoxOfControl(number) == std::pair{viewpoint, role})
                text_[number - 1]->setFocus();
    };
}

void CriteriaFormBase::BuildCriteriaControls() {
    const QRgb rankColour[3] = {kRankAColour, kRankBColour, kRankCColour};
    const QString rankText[3] = {u"Aランク"_s, u"Bランク"_s, u"Cランク"_s};
    constexpr double rowTop[3] = {480, 1080, 1680};
    const DecorativePicture::Kind icons[3] = {DecorativePicture::Kind::Star,
                                              DecorativePicture::Kind::Circle,
                                              DecorativePicture::Kind::Triangle};
    const CriteriaFormLayout& at = layout_;

    for (int k = 0; k < 3; ++k) {
        auto* frame = new QGroupBox(this);
        PlaceTwips(frame, 120, at.frameTop[k], 3735, 2295);
        frame_[k] = frame;
        for (int row = 0; row < 3; ++row) {
            auto* icon = new DecorativePicture(frame, icons[row], rankColour[row]);
            PlaceTwips(icon, at.iconLeft, rowTop[row] - 60, 375, 375);
            PlaceTwips(MakeRankLabel(frame, rankText[row], rankColour[row]), at.rankLabelLeft,
                       rowTop[row], 735, 255);
            auto* percent = new QLabel(u"％"_s, frame);
            PlaceTwips(percent, at.percentLeft, rowTop[row], 375, 255);
        }
        for (const ShareRole role : {ShareRole::A, ShareRole::C}) {
            const bool isA = role == ShareRole::A;
            const int number = isA ? at.aText[k] : at.cText[k];
            const int spinnerNumber = isA ? at.aUpDown[k] : at.cUpDown[k];
            const double top = isA ? 360 : 1560;
            auto* box = new ShareLineEdit(frame);
            PlaceTwips(box, at.boxLeft, top, 615, 375);
            auto* spinner = new SpinButtons(frame);
            PlaceTwips(spinner, at.spinnerLeft, top, 240, 375);
            text_[number - 1] = box;
            upDown_[spinnerNumber - 1] = spinner;
            const auto step = [this, k, role](int delta) { logic_->StepBox(k, role, delta); };
            box->stepped = step;
            spinner->stepped = step;
            connect(box, &QLineEdit::textEdited, this,
                    [this, number](const QString& text) { logic_->Text_Change(number, text); });
            connect(box, &QLineEdit::editingFinished, this,
                    [this, number] { logic_->Text_EditingFinished(number); });
        }
        bLabel_[k] = new QLabel(frame);
        PlaceTwips(bLabel_[k], at.bLabelLeft, 1080, 615, 255);
    }

    const QString captions[3] = {u"登録"_s, u"ｷｬﾝｾﾙ"_s, u"ｸﾞﾗﾌを印刷"_s};
    const char keys[3] = {'R', 'C', 'P'};
    for (int i = 0; i < 3; ++i) {
        command_[i] = new QPushButton(this);
        SetButtonCaption(command_[i], captions[i], keys[i]);
        PlaceTwips(command_[i], at.buttonLeft, at.buttonTop[i], at.buttonWidth, 495);
    }
    connect(command_[0], &QPushButton::clicked, this, [this] { logic_->Command1_Click(); });
    connect(command_[1], &QPushButton::clicked, this, [this] { logic_->Command2_Click(); });
    connect(command_[2], &QPushButton::clicked, this, [this] { logic_->Command3_Click(); });
}

void CriteriaFormBase::Refresh() {
    setWindowTitle(logic_->title);
    for (int k = 0; k < 3; ++k) {
        frame_[k]->setTitle(logic_->frames[k].caption);
        bLabel_[k]->setText(logic_->frames[k].bLabel);
        // Names for assistive technology follow the frame's caption ("表現の評定基準").
        const QString& frame = logic_->frames[k].caption;
        bLabel_[k]->setAccessibleName(frame + u" Bランク（％）"_s);
    }
    for (int number = 1; number <= 6; ++number) {
        const auto [k, role] = logic_->BoxOfControl(number);
        const QString rank = role == ShareRole::A ? u" Aランク"_s : u" Cランク"_s;
        text_[number - 1]->setAccessibleName(logic_->frames[k].caption + rank + u"（％）"_s);
    }
    for (int k = 0; k < 3; ++k) {
        const QString& frame = logic_->frames[k].caption;
        for (const ShareRole role : {ShareRole::A, ShareRole::C}) {
            const int spinner = role == ShareRole::A ? layout_.aUpDown[k] : layout_.cUpDown[k];
            const QString rank = role == ShareRole::A ? u" Aランクの増減"_s : u" Cランクの増減"_s;
            upDown_[spinner - 1]->setAccessibleName(frame + rank);
        }
    }
    for (int number = 1; number <= 6; ++number) {
        const auto [k, role] = logic_->BoxOfControl(number);
        const QString& text = logic_->BoxText(k, role);
        if (text_[number - 1]->text() != text)
            text_[number - 1]->setText(text);
    }
}

void CriteriaFormBase::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!activated_) {
        activated_ = true;
        logic_->Form_Activate();
    }
}

void CriteriaFormBase::closeEvent(QCloseEvent* event) {
    // The close box acts as ｷｬﾝｾﾙ: the teacher may choose to stay.
    if (logic_->Form_Unload())
        event->accept();
    else
        event->ignore();
}

void CriteriaFormBase::keyPressEvent(QKeyEvent* event) {
    // ｷｬﾝｾﾙ is the window's cancel button: Esc anywhere in the window presses it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        command_[1]->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CriteriaFormBase::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), layer_.image());
}

} // namespace kirune
