#include "formsubjectspec.h"

#include "editors/common/twips.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace kirune {

FormSubjectSpec::FormSubjectSpec(GradeBook& book, Session& session, Platform& platform,
                                 MainFormHooks& main, QWidget* parent)
    : QWidget(parent, Qt::Window), logic_(book, session, platform, main) {
    setFixedSize(
        TwipsRectToPixels(0, 0, SubjectSpecEditor::kClientWidth, SubjectSpecEditor::kClientHeight)
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
    logic_.Form_Load();
    Refresh();
}

FormSubjectSpec::~FormSubjectSpec() {
    logic_.paint = nullptr;
    logic_.clearLayer = nullptr;
    logic_.changed = nullptr;
    logic_.closeWindow = nullptr;
}

void FormSubjectSpec::BuildControls() {
    // The names of the subject and its viewpoints, in one row.
    auto* frame1 = new QGroupBox(QString::fromUtf16(u"科目と観点の名前の変更"), this);
    PlaceTwips(frame1, 120, 120, 9015, 735);
    constexpr double labelLeft[4] = {240, 2520, 4680, 6840};
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
        combo_[i] = combo;
        const int number = i + 1;
        connect(combo, &QComboBox::editTextChanged, this, [this, number](const QString& text) {
            if (!refreshing_)
                logic_.Combo_Change(number, text);
        });
    }

    constexpr double frameTop[3] = {960, 3360, 5760};
    const QRgb rankColour[3] = {kRankAColour, kRankBColour, kRankCColour};
    const QString rankText[3] = {QString::fromUtf16(u"Aランク"), QString::fromUtf16(u"Bランク"),
                                 QString::fromUtf16(u"Cランク")};
    constexpr double rowTop[3] = {480, 1080, 1680};
    const DecorativePicture::Kind icons[3] = {DecorativePicture::Kind::Star,
                                              DecorativePicture::Kind::Circle,
                                              DecorativePicture::Kind::Triangle};
    // The designer's box numbers: the middle frame's A box is Text4 and its C box Text3.
    constexpr int aBox[3] = {1, 4, 5};
    constexpr int cBox[3] = {2, 3, 6};
    constexpr int aSpinner[3] = {1, 3, 5};
    constexpr int cSpinner[3] = {2, 4, 6};

    for (int k = 0; k < 3; ++k) {
        auto* frame = new QGroupBox(this);
        PlaceTwips(frame, 120, frameTop[k], 3735, 2295);
        frame_[k] = frame;
        for (int row = 0; row < 3; ++row) {
            auto* icon = new DecorativePicture(frame, icons[row], rankColour[row]); // Picture1()
            PlaceTwips(icon, 360, rowTop[row] - 60, 375, 375);
            PlaceTwips(MakeRankLabel(frame, rankText[row], rankColour[row]), 1080, rowTop[row], 735,
                       255);
            auto* percent = new QLabel(QString::fromUtf16(u"％"), frame);
            PlaceTwips(percent, 3120, rowTop[row], 375, 255);
        }
        for (int role = 0; role < 2; ++role) {
            const ShareRole shareRole = role == 0 ? ShareRole::A : ShareRole::C;
            const int number = role == 0 ? aBox[k] : cBox[k];
            const int spinnerNumber = role == 0 ? aSpinner[k] : cSpinner[k];
            const double top = role == 0 ? 360 : 1560;
            auto* box = new ShareLineEdit(frame);
            PlaceTwips(box, 2160, top, 615, 375);
            auto* spinner = new SpinButtons(frame);
            PlaceTwips(spinner, 2775, top, 240, 375);
            text_[number - 1] = box;
            upDown_[spinnerNumber - 1] = spinner;
            const auto step = [this, k, shareRole](int delta) {
                logic_.StepBox(k, shareRole, delta);
            };
            box->stepped = step;
            spinner->stepped = step;
            connect(box, &QLineEdit::textEdited, this,
                    [this, number](const QString& text) { logic_.Text_Change(number, text); });
        }
        bLabel_[k] = new QLabel(frame);
        PlaceTwips(bLabel_[k], 2160, 1080, 615, 255);
    }

    const QString captions[3] = {QString::fromUtf16(u"登録"), QString::fromUtf16(u"ｷｬﾝｾﾙ"),
                                 QString::fromUtf16(u"ｸﾞﾗﾌを印刷")};
    constexpr double buttonTop[3] = {1080, 2520, 1800}; // Command1, Command2, Command3
    for (int i = 0; i < 3; ++i) {
        command_[i] = new QPushButton(captions[i], this);
        PlaceTwips(command_[i], 8040, buttonTop[i], 1095, 495);
    }
    connect(command_[0], &QPushButton::clicked, this, [this] { logic_.Command1_Click(); });
    connect(command_[1], &QPushButton::clicked, this, [this] { logic_.Command2_Click(); });
    connect(command_[2], &QPushButton::clicked, this, [this] { logic_.Command3_Click(); });

    auto* picture2 = new DecorativePicture(this, DecorativePicture::Kind::Pencil);
    PlaceTwips(picture2, 8160, 3600, 855, 855);
    auto* pictCat = new DecorativePicture(this, DecorativePicture::Kind::Cat);
    PlaceTwips(pictCat, 8040, 6600, 1095, 1095);
}

void FormSubjectSpec::Refresh() {
    refreshing_ = true;
    setWindowTitle(logic_.title);
    for (int i = 0; i < 4; ++i) {
        QComboBox* combo = combo_[i];
        const QStringList& items = i == 0 ? logic_.subjectItems : logic_.viewpointItems;
        QStringList shown;
        for (int j = 0; j < combo->count(); ++j)
            shown.push_back(combo->itemText(j));
        if (shown != items) {
            combo->clear();
            combo->addItems(items);
        }
        if (combo->currentText() != logic_.combo[i])
            combo->setEditText(logic_.combo[i]);
    }
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
    refreshing_ = false;
}

void FormSubjectSpec::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!activated_) {
        activated_ = true;
        logic_.Form_Activate();
    }
}

void FormSubjectSpec::closeEvent(QCloseEvent* event) {
    logic_.Form_Unload(); // the close box acts as ｷｬﾝｾﾙ
    event->accept();
}

void FormSubjectSpec::keyPressEvent(QKeyEvent* event) {
    // ｷｬﾝｾﾙ is the window's cancel button: Esc anywhere in the window presses it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        command_[1]->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FormSubjectSpec::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), layer_.image());
}

} // namespace kirune
