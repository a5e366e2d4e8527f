#include "formtestspec.h"

#include "editors/common/accessibility.h"
#include "editors/common/editorform.h"
#include "editors/common/gridview.h"
#include "editors/common/pictures.h"
#include "editors/common/twips.h"
#include "output/fonts.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFocusFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// A marked test paper with a red flower circle and a pencil lying across it.
QPixmap TestPaperPicture(int w, int h) {
    QPixmap pixmap = NewPicture(w, h);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(0, 0, w, h), QColor(232, 242, 250));

    // The sheet, slightly turned.
    p.save();
    p.translate(w / 2.0, h / 2.0);
    p.rotate(-6);
    const QRectF sheet(-w * 0.36, -h * 0.4, w * 0.72, h * 0.8);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    p.setPen(QPen(QColor(120, 160, 220), 0.8));
    for (qreal y = sheet.top() + 22; y < sheet.bottom() - 6; y += 9)
        p.drawLine(QPointF(sheet.left() + 6, y), QPointF(sheet.right() - 6, y));
    // Name line at the top.
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.drawLine(QPointF(sheet.left() + 6, sheet.top() + 12),
               QPointF(sheet.center().x(), sheet.top() + 12));
    // Red flower circle: a spiral with petals around it.
    p.setPen(QPen(QColor(220, 30, 40), 1.4));
    p.setBrush(Qt::NoBrush);
    const QPointF centre(sheet.center().x() + 4, sheet.top() + h * 0.3);
    QPainterPath spiral;
    for (int i = 0; i <= 80; ++i) {
        const double t = i / 80.0 * 3 * 2 * M_PI;
        const double r = 2 + 8 * i / 80.0;
        const QPointF pt(centre.x() + r * std::cos(t), centre.y() + r * std::sin(t));
        if (i == 0)
            spiral.moveTo(pt);
        else
            spiral.lineTo(pt);
    }
    p.drawPath(spiral);
    for (int k = 0; k < 8; ++k) {
        const double a = k * M_PI / 4;
        const QPointF c(centre.x() + 13 * std::cos(a), centre.y() + 13 * std::sin(a));
        p.drawEllipse(c, 3.2, 3.2);
    }
    p.restore();

    // The pencil.
    p.save();
    p.translate(w * 0.2, h * 0.92);
    p.rotate(-38);
    const qreal len = h * 0.72;
    p.setPen(QPen(QColor(120, 90, 20), 0.8));
    p.setBrush(QColor(250, 200, 40));
    p.drawRect(QRectF(0, -3.5, len * 0.78, 7));
    p.setBrush(QColor(240, 170, 170));
    p.drawRect(QRectF(-7, -3.5, 7, 7)); // eraser
    QPolygonF tip;
    tip << QPointF(len * 0.78, -3.5) << QPointF(len * 0.94, 0) << QPointF(len * 0.78, 3.5);
    p.setBrush(QColor(240, 215, 170));
    p.drawPolygon(tip);
    p.setBrush(QColor(40, 40, 40));
    QPolygonF lead;
    lead << QPointF(len * 0.9, -0.9) << QPointF(len * 0.94, 0) << QPointF(len * 0.9, 0.9);
    p.drawPolygon(lead);
    p.restore();
    return pixmap;
}

void MakeBlue(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label->setPalette(palette);
}

} // namespace

FormTestSpec::FormTestSpec(GradeBook& book, Session& session, Platform& platform,
                           MainFormHooks& main, QWidget* parent)
    : EditorFormBase("FormTestSpec", u"試験結果の編集"_s, kClientWidth, kClientHeight,
                     Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint,
                     parent),
      logic_(book, session, platform, main) {
    BuildControls();
    Connect();
    logic_.Form_Load();
    // The view takes the grid once it has its 43 rows and 7 columns: the grid's size does not
    // change afterwards.
    grid_->setGrid(&logic_.scoreGrid);
    Refresh();
    MoveFocus(logic_.focus);
}

FormTestSpec::~FormTestSpec() = default;

void FormTestSpec::BuildControls() {
    // Test definition: name, date and calendar. Enter in the name or the date moves on to the
    // next field; Tab from the score boxes never reaches them, so a score typed on cannot
    // replace the test's name.
    QLabel* label1 = NewLabel(this, "Label1", u"試験の名称(&M)"_s);
    PlaceTwips(label1, 120, 120, 1440, 255);
    nameBox_ = NewBox(this, QStringLiteral("nameBox"));
    label1->setBuddy(nameBox_);
    nameBox_->setAccessibleName(u"試験の名称"_s);
    PlaceTwips(nameBox_, 1590, 0, 2265, 390);
    QLabel* label2 = NewLabel(this, "Label2", u"試験の実施日(&D)"_s);
    PlaceTwips(label2, 120, 480, 1440, 255);
    dateBox_ = NewBox(this, QStringLiteral("dateBox"));
    label2->setBuddy(dateBox_);
    dateBox_->setAccessibleName(u"試験の実施日"_s);
    PlaceTwips(dateBox_, 1590, 360, 2265, 390);

    calendar_ = new QCalendarWidget(this);
    calendar_->setObjectName(QStringLiteral("calendar"));
    calendar_->setAccessibleName(u"試験の実施日のカレンダー"_s);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    calendar_->setGridVisible(false);
    calendar_->setFont(WindowFont(7));
    PlaceTwips(calendar_, 1440, 720, 2385, 2220);
    // The calendar as a whole takes the focus by a click or from the date (Alt+Down or F4), not
    // by Tab; it shows a frame while it has the focus.
    calendar_->setFocusPolicy(Qt::ClickFocus);
    calendarFocus_ = new QFocusFrame(this);
    calendarFocus_->hide();

    // Viewpoints and their allocated points.
    PlaceTwips(NewLabel(this, "Label15", u"観点の選択と配点"_s), 120, 3120, 1575, 255);
    const char* labelNames[] = {"viewpointLabel1", "viewpointLabel2", "viewpointLabel3"};
    const int labelLefts[] = {240, 1560, 2880};
    const int checkLefts[] = {840, 2160, 3480};
    const int pointsLefts[] = {480, 1800, 3120};
    for (int k = 0; k < 3; ++k) {
        viewpointLabels_[k] = NewLabel(this, labelNames[k], QString());
        PlaceTwips(viewpointLabels_[k], labelLefts[k], 3480, 495, 255);
        viewpointChecks_[k] = new QCheckBox(this);
        viewpointChecks_[k]->setObjectName(QStringLiteral("viewpointCheck%1").arg(1 + k));
        viewpointChecks_[k]->setChecked(true);
        PlaceTwips(viewpointChecks_[k], checkLefts[k], 3480, 255, 255);
        pointsBoxes_[k] = NewBox(this, QStringLiteral("pointsBox%1").arg(1 + k));
        pointsBoxes_[k]->setAttribute(Qt::WA_InputMethodEnabled, false);
        pointsBoxes_[k]->setInputMethodHints(Qt::ImhDigitsOnly);
        PlaceTwips(pointsBoxes_[k], pointsLefts[k], 3720, 615, 375);
    }

    // Score entry, inside Frame1.
    entryFrame_ = new QGroupBox(u"それぞれの生徒の得点を入力します"_s, this);
    entryFrame_->setObjectName(QStringLiteral("entryFrame"));
    PlaceTwips(entryFrame_, 120, 4440, 3855, 3735);
    QLabel* label5 = NewLabel(entryFrame_, "Label5", u"出席番号"_s);
    PlaceTwips(label5, 240, 480, 855, 375);
    pupilBox_ = new QComboBox(entryFrame_);
    pupilBox_->setObjectName(QStringLiteral("pupilBox"));
    pupilBox_->setAccessibleName(u"出席番号"_s);
    label5->setBuddy(pupilBox_); // screen readers on Linux read a drop-down list's label
    PlaceTwips(pupilBox_, 1200, 480, 855, 300);
    absentButton_ = NewButton(entryFrame_, "absentButton", QString());
    SetButtonCaption(absentButton_, u"欠席"_s, 'K');
    PlaceTwips(absentButton_, 2760, 480, 855, 855);
    PlaceTwips(NewLabel(entryFrame_, "Label6", u"生徒の氏名"_s), 240, 1080, 975, 255);
    pupilName_ = NewLabel(entryFrame_, "pupilName", QString());
    QFont bold = pupilName_->font();
    bold.setBold(true);
    pupilName_->setFont(bold);
    PlaceTwips(pupilName_, 1320, 1080, 2415, 330);

    QFont large = font();
    large.setPointSize(14);
    large.setBold(true);
    const int scoreLefts[] = {120, 1560, 3000};
    for (int k = 0; k < 3; ++k) {
        scoreBoxes_[k] = NewBox(entryFrame_, QStringLiteral("scoreBox%1").arg(1 + k));
        scoreBoxes_[k]->setFont(large);
        scoreBoxes_[k]->setAttribute(Qt::WA_InputMethodEnabled, false);
        scoreBoxes_[k]->setInputMethodHints(Qt::ImhDigitsOnly);
        PlaceTwips(scoreBoxes_[k], scoreLefts[k], 1680, 735, 495);
        // The viewpoint's name above its box (set with the names).
        scoreLabels_[k] = NewLabel(entryFrame_, "", QString());
        scoreLabels_[k]->setObjectName(QStringLiteral("ScoreLabel%1").arg(k + 1));
        scoreLabels_[k]->setBuddy(scoreBoxes_[k]);
        PlaceTwips(scoreLabels_[k], scoreLefts[k], 1425, 1320, 255);
    }
    auto* label12 = NewLabel(entryFrame_, "Label12", QStringLiteral("[TAB]"));
    auto* label13 = NewLabel(entryFrame_, "Label13", QStringLiteral("[TAB]"));
    MakeBlue(label12);
    MakeBlue(label13);
    PlaceTwips(label12, 960, 1920, 495, 255);
    PlaceTwips(label13, 2400, 1920, 495, 255);

    previousButton_ = NewButton(entryFrame_, "previousPupilButton", QString());
    previousButton_->setIcon(QIcon(ArrowPicture(ArrowDirection::Up)));
    previousButton_->setIconSize(QSize(28, 30));
    PlaceTwips(previousButton_, 720, 2400, 975, 615);
    nextButton_ = NewButton(entryFrame_, "nextPupilButton", QString());
    nextButton_->setIcon(QIcon(ArrowPicture(ArrowDirection::Down)));
    nextButton_->setIconSize(QSize(28, 30));
    nextButton_->setDefault(true);
    PlaceTwips(nextButton_, 1920, 2400, 975, 615);
    auto* label14 = NewLabel(entryFrame_, "Label14", QStringLiteral("[Enter]"));
    MakeBlue(label14);
    PlaceTwips(label14, 3000, 3000, 735, 255);
    // Each under its button, centred, as wide as the frame lets them be.
    auto* label8 = NewLabel(entryFrame_, "Label8", QString());
    SetLabelAccessKey(label8, u"前の出席番号に"_s, 'B', previousButton_);
    label8->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    PlaceTwips(label8, 120, 3240, 1800, 255);
    auto* label7 = NewLabel(entryFrame_, "Label7", QString());
    SetLabelAccessKey(label7, u"次の出席番号に"_s, 'N', nextButton_);
    label7->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    PlaceTwips(label7, 1920, 3240, 1860, 255);

    // The whole test.
    gridTitle_ = NewLabel(this, "gridTitle", QString());
    PlaceTwips(gridTitle_, 4080, 120, 4935, 255);
    grid_ = new GridView(this);
    grid_->setObjectName(QStringLiteral("scoreGrid"));
    grid_->setAccessibleName(u"試験の得点表"_s);
    PlaceTwips(grid_, 4080, 360, 6375, 7815);

    registerButton_ = NewButton(this, "registerButton", QString());
    SetButtonCaption(registerButton_, u"登録"_s, 'R');
    registerButton_->setFont(bold);
    PlaceTwips(registerButton_, 10560, 360, 1095, 495);
    cancelButton_ = NewButton(this, "cancelButton", QString());
    SetButtonCaption(cancelButton_, u"ｷｬﾝｾﾙ"_s, 'C');
    PlaceTwips(cancelButton_, 10560, 1080, 1095, 495);
    // Its caption takes two lines in the narrow column of buttons.
    importButton_ = NewButton(this, "ImportScores", QString());
    importButton_->setText(u"得点の\n読み込み(&L)..."_s);
    importButton_->setAccessibleName(u"得点の読み込み"_s);
    PlaceTwips(importButton_, 10440, 1800, 1305, 735);

    picture_ = NewLabel(this, "picture", QString());
    picture_->setPixmap(TestPaperPicture(87, 124));
    picture_->setAccessibleName(u"答案用紙の絵"_s);
    picture_->setAlignment(Qt::AlignCenter);
    PlaceTwips(picture_, 10440, 3360, 1305, 1860);

    // Tab order: the test's name and date, each viewpoint's check box and points, then the
    // score boxes (which keep their own Tab among the checked viewpoints, then 登録), then the
    // rest.
    QWidget* order[] = {nameBox_,
                        dateBox_,
                        viewpointChecks_[0],
                        pointsBoxes_[0],
                        viewpointChecks_[1],
                        pointsBoxes_[1],
                        viewpointChecks_[2],
                        pointsBoxes_[2],
                        scoreBoxes_[0],
                        scoreBoxes_[1],
                        scoreBoxes_[2],
                        registerButton_,
                        cancelButton_,
                        importButton_,
                        pupilBox_,
                        absentButton_,
                        previousButton_,
                        nextButton_,
                        grid_};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void FormTestSpec::Connect() {
    logic_.changed = [this] { Refresh(); };
    logic_.moveFocus = [this](const QString& control) { MoveFocus(control); };
    logic_.closeWindow = [this] { close(); };

    connect(nameBox_, &QLineEdit::textEdited, this,
            [this](const QString& t) { logic_.OnNameChange(t); });
    connect(dateBox_, &QLineEdit::textEdited, this, [this](const QString& t) {
        logic_.OnDateChange(t);
        Refresh();
    });
    for (int k = 0; k < 3; ++k) {
        connect(scoreBoxes_[k], &QLineEdit::textEdited, this,
                [this, k](const QString& t) { logic_.OnScoreChange(k, t); });
        connect(pointsBoxes_[k], &QLineEdit::textEdited, this,
                [this, k](const QString& t) { logic_.OnPointsChange(k, t); });
        connect(viewpointChecks_[k], &QCheckBox::clicked, this,
                [this, k](bool checked) { logic_.OnViewpointCheck(k, checked); });
        scoreBoxes_[k]->installEventFilter(this);
    }
    nameBox_->installEventFilter(this);
    dateBox_->installEventFilter(this);
    grid_->installEventFilter(this);
    calendarView_ = calendar_->focusProxy() ? calendar_->focusProxy() : calendar_;
    calendarView_->installEventFilter(this);

    connect(calendar_, &QCalendarWidget::clicked, this,
            [this](QDate date) { logic_.OnCalendarDatePicked(date); });
    connect(calendar_, &QCalendarWidget::activated, this, [this](QDate date) {
        // Enter on a day: the date is taken and the teacher is back in the date box.
        logic_.OnCalendarDatePicked(date);
        dateBox_->setFocus(Qt::OtherFocusReason);
    });
    connect(calendar_, &QCalendarWidget::selectionChanged, this, [this] {
        // Moving through the days with the keyboard shows the day in the date box as well.
        if (!refreshing_)
            logic_.OnCalendarDatePicked(calendar_->selectedDate());
    });

    connect(pupilBox_, &QComboBox::activated, this,
            [this](int index) { logic_.OnPupilChosen(pupilBox_->itemText(index)); });
    connect(grid_, &GridView::cellClicked, this,
            [this](int row, int col) { logic_.OnGridClick(row, col); });
    connect(nextButton_, &QPushButton::clicked, this, [this] { logic_.OnNextPupil(); });
    connect(previousButton_, &QPushButton::clicked, this, [this] { logic_.OnPreviousPupil(); });
    connect(absentButton_, &QPushButton::clicked, this, [this] { logic_.OnAbsent(); });
    connect(registerButton_, &QPushButton::clicked, this, [this] { logic_.OnRegister(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { logic_.OnCancel(); });
    connect(importButton_, &QPushButton::clicked, this, [this] { ImportScoresFromFile(); });
}

void FormTestSpec::Refresh() {
    refreshing_ = true;
    SetTextIfDifferent(nameBox_, logic_.nameBox);
    SetTextIfDifferent(dateBox_, logic_.dateBox);
    const std::array<QLabel*, 3>& labels = viewpointLabels_;
    const std::array<QString, 3>& names = logic_.viewpointLabels;
    for (int k = 0; k < 3; ++k) {
        QLineEdit* score = scoreBoxes_[k];
        if (score->text() != logic_.ScoreBox(k)) {
            score->setText(logic_.ScoreBox(k));
            // A box that already has the focus (the next pupil's first box) gets its new text
            // selected, so typing replaces the stored score.
            if (score->hasFocus())
                score->selectAll();
        }
        SetTextIfDifferent(pointsBoxes_[k], logic_.PointsBox(k));
        if (viewpointChecks_[k]->isChecked() != logic_.ViewpointChecked(k))
            viewpointChecks_[k]->setChecked(logic_.ViewpointChecked(k));
        labels[k]->setText(names[k]);
        scoreLabels_[k]->setText(names[k]);
        // Names for assistive technology follow the viewpoints' names.
        score->setAccessibleName(names[k]);
        pointsBoxes_[k]->setAccessibleName(names[k] + u"の配点"_s);
        viewpointChecks_[k]->setAccessibleName(names[k] + u"を使う"_s);
    }
    pupilName_->setText(logic_.pupilName);
    gridTitle_->setText(logic_.gridTitle);

    QStringList items;
    for (int i = 0; i < pupilBox_->count(); ++i)
        items << pupilBox_->itemText(i);
    if (items != logic_.pupilChoices) {
        pupilBox_->clear();
        pupilBox_->addItems(logic_.pupilChoices);
    }
    pupilBox_->setCurrentIndex(pupilBox_->findText(logic_.pupilBox.trimmed()));

    if (logic_.calendar.isValid() && calendar_->selectedDate() != logic_.calendar)
        calendar_->setSelectedDate(logic_.calendar);
    if (grid_->grid())
        grid_->refresh();
    refreshing_ = false;
}

QWidget* FormTestSpec::ControlNamed(const QString& name) const {
    if (name.isEmpty())
        return nullptr;
    return findChild<QWidget*>(name);
}

void FormTestSpec::MoveFocus(const QString& control) {
    QWidget* target = ControlNamed(control);
    if (!target)
        return;
    target->setFocus(Qt::OtherFocusReason);
    if (auto* box = qobject_cast<QLineEdit*>(target))
        box->selectAll();
}

bool FormTestSpec::eventFilter(QObject* watched, QEvent* event) {
    const auto* key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
    const bool enter = key && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
    if ((watched == nameBox_ || watched == dateBox_) && enter) {
        logic_.Field_Enter(watched->objectName());
        return true;
    }
    if (watched == dateBox_ && key &&
        (key->key() == Qt::Key_F4 ||
         (key->key() == Qt::Key_Down && key->modifiers() == Qt::AltModifier))) {
        calendar_->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (watched == grid_ && key && key->modifiers() == Qt::NoModifier)
        return logic_.OnGridKey(key->key());
    if (watched == calendarView_ && event->type() == QEvent::FocusIn)
        calendarFocus_->setWidget(calendar_);
    if (watched == calendarView_ && event->type() == QEvent::FocusOut) {
        calendarFocus_->setWidget(nullptr);
        calendarFocus_->hide();
    }
    if (watched == nameBox_ && event->type() == QEvent::MouseButtonRelease) {
        logic_.OnNameClick();
        // After the click has placed the cursor: the whole name is selected.
        QTimer::singleShot(0, nameBox_, [box = nameBox_] { box->selectAll(); });
        return false;
    }
    for (int k = 0; k < 3; ++k) {
        QLineEdit* box = scoreBoxes_[k];
        if (watched != box)
            continue;
        if (event->type() == QEvent::FocusIn) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::BacktabFocusReason && !logic_.ViewpointChecked(k)) {
                // Going backwards, an unused box is passed over backwards.
                QTimer::singleShot(0, this, [this] { focusPreviousChild(); });
                return false;
            }
            logic_.GotFocus(box->objectName());
            if (logic_.focus == box->objectName()) {
                if (reason == Qt::MouseFocusReason)
                    QTimer::singleShot(0, box, [box] { box->selectAll(); });
                else
                    box->selectAll();
            }
            return false;
        }
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
            const auto held =
                key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
            if (held && !(tab && held == Qt::ShiftModifier))
                return false;
            return logic_.OnScoreBoxKey(k, key->key());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FormTestSpec::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // 次の出席番号に is the default button: Enter moves to the next pupil.
        logic_.OnNextPupil();
        event->accept();
        return;
    case Qt::Key_Escape:
        // In the calendar, Esc goes back to the date; elsewhere it is ｷｬﾝｾﾙ.
        if (calendarView_->hasFocus())
            dateBox_->setFocus(Qt::OtherFocusReason);
        else
            logic_.OnCancel();
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

bool FormTestSpec::Unload() {
    return logic_.Form_Unload();
}

} // namespace kirune
