#include "formsemesterspec.h"

#include "editors/common/twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace kirune {

FormSemesterSpec::FormSemesterSpec(GradeBook& book, Session& session, Platform& platform,
                                   MainFormHooks& main, QWidget* parent)
    : QWidget(parent, Qt::Window), logic_(book, session, platform, main) {
    setFixedSize(
        TwipsRectToPixels(0, 0, SemesterSpecEditor::kClientWidth, SemesterSpecEditor::kClientHeight)
            .size());
    layer_.Resize(size());
    layer_.Clear(palette().color(QPalette::Window));
    BuildControls();

    logic_.paint = [this](const std::function<void(Canvas&)>& draw) {
        layer_.Paint(draw);
        update();
    };
    logic_.clearLayer = [this] {
        layer_.Clear(palette().color(QPalette::Window));
        update();
    };
    logic_.changed = [this] { Refresh(); };
    logic_.closeWindow = [this] { close(); };
    Refresh();
}

FormSemesterSpec::~FormSemesterSpec() {
    // The hooks point at this window; the logic must not call them while it goes away.
    logic_.paint = nullptr;
    logic_.clearLayer = nullptr;
    logic_.changed = nullptr;
    logic_.closeWindow = nullptr;
}

void FormSemesterSpec::BuildControls() {
    constexpr double frameTop[3] = {240, 2760, 5280};
    const QRgb rankColour[3] = {kRankAColour, kRankBColour, kRankCColour};
    const QString rankText[3] = {QString::fromUtf16(u"Aランク"), QString::fromUtf16(u"Bランク"),
                                 QString::fromUtf16(u"Cランク")};
    constexpr double rowTop[3] = {480, 1080, 1680};
    const DecorativePicture::Kind icons[3] = {DecorativePicture::Kind::Star,
                                              DecorativePicture::Kind::Circle,
                                              DecorativePicture::Kind::Triangle};

    for (int k = 0; k < 3; ++k) {
        auto* frame = new QGroupBox(this);
        PlaceTwips(frame, 120, frameTop[k], 3735, 2295);
        frame_[k] = frame;
        for (int row = 0; row < 3; ++row) {
            auto* icon = new DecorativePicture(frame, icons[row], rankColour[row]);
            PlaceTwips(icon, 600, rowTop[row] - 60, 375, 375);
            PlaceTwips(MakeRankLabel(frame, rankText[row], rankColour[row]), 1440, rowTop[row], 735,
                       255);
            auto* percent = new QLabel(QString::fromUtf16(u"％"), frame);
            PlaceTwips(percent, 3240, rowTop[row], 375, 255);
        }
        for (int role = 0; role < 2; ++role) {
            const int number = 2 * k + role + 1; // Text1..Text6: A, C of each frame
            const ShareRole shareRole = role == 0 ? ShareRole::A : ShareRole::C;
            const double top = role == 0 ? 360 : 1560;
            auto* box = new ShareLineEdit(frame);
            PlaceTwips(box, 2280, top, 615, 375);
            auto* spinner = new SpinButtons(frame);
            PlaceTwips(spinner, 2895, top, 240, 375);
            text_[number - 1] = box;
            upDown_[number - 1] = spinner;
            const auto step = [this, k, shareRole](int delta) {
                logic_.StepBox(k, shareRole, delta);
            };
            box->stepped = step;
            spinner->stepped = step;
            connect(box, &QLineEdit::textEdited, this,
                    [this, number](const QString& text) { logic_.Text_Change(number, text); });
        }
        bLabel_[k] = new QLabel(frame);
        PlaceTwips(bLabel_[k], 2280, 1080, 615, 255);
    }

    const QString captions[3] = {QString::fromUtf16(u"登録"), QString::fromUtf16(u"ｷｬﾝｾﾙ"),
                                 QString::fromUtf16(u"ｸﾞﾗﾌを印刷")};
    constexpr double buttonTop[3] = {600, 2040, 1320}; // Command1, Command2, Command3
    for (int i = 0; i < 3; ++i) {
        command_[i] = new QPushButton(captions[i], this);
        PlaceTwips(command_[i], 7920, buttonTop[i], 1215, 495);
    }
    connect(command_[0], &QPushButton::clicked, this, [this] { logic_.Command1_Click(); });
    connect(command_[1], &QPushButton::clicked, this, [this] { logic_.Command2_Click(); });
    connect(command_[2], &QPushButton::clicked, this, [this] { logic_.Command3_Click(); });

    auto* pictHorse = new DecorativePicture(this, DecorativePicture::Kind::Horse);
    PlaceTwips(pictHorse, 7920, 5880, 1215, 1215);
}

void FormSemesterSpec::Refresh() {
    setWindowTitle(logic_.title);
    for (int k = 0; k < 3; ++k) {
        frame_[k]->setTitle(logic_.frames[k].caption);
        bLabel_[k]->setText(logic_.frames[k].bLabel);
    }
    for (int number = 1; number <= 6; ++number) {
        const auto [k, role] = logic_.BoxOfControl(number);
        const QString& text = logic_.BoxText(k, role);
        if (text_[number - 1]->text() != text)
            text_[number - 1]->setText(text);
    }
}

void FormSemesterSpec::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!activated_) {
        activated_ = true;
        logic_.Form_Activate();
    }
}

void FormSemesterSpec::closeEvent(QCloseEvent* event) {
    logic_.Form_Unload(); // the close box acts as ｷｬﾝｾﾙ
    event->accept();
}

void FormSemesterSpec::keyPressEvent(QKeyEvent* event) {
    // ｷｬﾝｾﾙ is the window's cancel button: Esc anywhere in the window presses it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        command_[1]->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FormSemesterSpec::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), layer_.image());
}

} // namespace kirune
