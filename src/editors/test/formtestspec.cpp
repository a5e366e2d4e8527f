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
    grid_->setGrid(&logic_.MSFlexGrid1);
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
    text1_ = NewBox(this, QStringLiteral("Text1"));
    label1->setBuddy(text1_);
    text1_->setAccessibleName(u"試験の名称"_s);
    PlaceTwips(text1_, 1590, 0, 2265, 390);
    QLabel* label2 = NewLabel(this, "Label2", u"試験の実施日(&D)"_s);
    PlaceTwips(label2, 120, 480, 1440, 255);
    text2_ = NewBox(this, QStringLiteral("Text2"));
    label2->setBuddy(text2_);
    text2_->setAccessibleName(u"試験の実施日"_s);
    PlaceTwips(text2_, 1590, 360, 2265, 390);

    monthView1_ = new QCalendarWidget(this);
    monthView1_->setObjectName(QStringLiteral("MonthView1"));
    monthView1_->setAccessibleName(u"試験の実施日のカレンダー"_s);
    monthView1_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    monthView1_->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    monthView1_->setGridVisible(false);
    monthView1_->setFont(WindowFont(7));
    PlaceTwips(monthView1_, 1440, 720, 2385, 2220);
    // The calendar as a whole takes the focus by a click or from the date (Alt+Down or F4), not
    // by Tab; it shows a frame while it has the focus.
    monthView1_->setFocusPolicy(Qt::ClickFocus);
    calendarFocus_ = new QFocusFrame(this);
    calendarFocus_->hide();

    // Viewpoints and their allocated points.
    PlaceTwips(NewLabel(this, "Label15", u"観点の選択と配点"_s), 120, 3120, 1575, 255);
    const char* labelNames[] = {"Label16", "Label17", "Label18"};
    const int labelLefts[] = {240, 1560, 2880};
    const int checkLefts[] = {840, 2160, 3480};
    const int pointsLefts[] = {480, 1800, 3120};
    for (int k = 0; k < 3; ++k) {
        viewpointLabels_[k] = NewLabel(this, labelNames[k], QString());
        PlaceTwips(viewpointLabels_[k], labelLefts[k], 3480, 495, 255);
        checks_[k] = new QCheckBox(this);
        checks_[k]->setObjectName(QStringLiteral("Check%1").arg(4 + k));
        checks_[k]->setChecked(true);
        PlaceTwips(checks_[k], checkLefts[k], 3480, 255, 255);
        pointsBoxes_[k] = NewBox(this, QStringLiteral("Text%1").arg(6 + k));
        pointsBoxes_[k]->setAttribute(Qt::WA_InputMethodEnabled, false);
        pointsBoxes_[k]->setInputMethodHints(Qt::ImhDigitsOnly);
        PlaceTwips(pointsBoxes_[k], pointsLefts[k], 3720, 615, 375);
    }

    // Score entry, inside Frame1.
    frame1_ = new QGroupBox(u"それぞれの生徒の得点を入力します"_s, this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    PlaceTwips(frame1_, 120, 4440, 3855, 3735);
    QLabel* label5 = NewLabel(frame1_, "Label5", u"出席番号"_s);
    PlaceTwips(label5, 240, 480, 855, 375);
    combo2_ = new QComboBox(frame1_);
    combo2_->setObjectName(QStringLiteral("Combo2"));
    combo2_->setAccessibleName(u"出席番号"_s);
    label5->setBuddy(combo2_); // screen readers on Linux read a drop-down list's label
    PlaceTwips(combo2_, 1200, 480, 855, 300);
    command5_ = NewButton(frame1_, "Command5", QString());
    SetButtonCaption(command5_, u"欠席"_s, 'K');
    PlaceTwips(command5_, 2760, 480, 855, 855);
    PlaceTwips(NewLabel(frame1_, "Label6", u"生徒の氏名"_s), 240, 1080, 975, 255);
    label3_ = NewLabel(frame1_, "Label3", QString());
    QFont bold = label3_->font();
    bold.setBold(true);
    label3_->setFont(bold);
    PlaceTwips(label3_, 1320, 1080, 2415, 330);

    QFont large = font();
    large.setPointSize(14);
    large.setBold(true);
    const int scoreLefts[] = {120, 1560, 3000};
    for (int k = 0; k < 3; ++k) {
        scoreBoxes_[k] = NewBox(frame1_, QStringLiteral("Text%1").arg(3 + k));
        scoreBoxes_[k]->setFont(large);
        scoreBoxes_[k]->setAttribute(Qt::WA_InputMethodEnabled, false);
        scoreBoxes_[k]->setInputMethodHints(Qt::ImhDigitsOnly);
        PlaceTwips(scoreBoxes_[k], scoreLefts[k], 1680, 735, 495);
        // The viewpoint's name above its box (set with the names).
        scoreLabels_[k] = NewLabel(frame1_, "", QString());
        scoreLabels_[k]->setObjectName(QStringLiteral("ScoreLabel%1").arg(k + 1));
        scoreLabels_[k]->setBuddy(scoreBoxes_[k]);
        PlaceTwips(scoreLabels_[k], scoreLefts[k], 1425, 1320, 255);
    }
    auto* label12 = NewLabel(frame1_, "Label12", QStringLiteral("[TAB]"));
    auto* label13 = NewLabel(frame1_, "Label13", QStringLiteral("[TAB]"));
    MakeBlue(label12);
    MakeBlue(label13);
    PlaceTwips(label12, 960, 1920, 495, 255);
    PlaceTwips(label13, 2400, 1920, 495, 255);

    command4_ = NewButton(frame1_, "Command4", QString());
    command4_->setIcon(QIcon(ArrowPicture(ArrowDirection::Up)));
    command4_->setIconSize(QSize(28, 30));
    PlaceTwips(command4_, 720, 2400, 975, 615);
    command3_ = NewButton(frame1_, "Command3", QString());
    command3_->setIcon(QIcon(ArrowPicture(ArrowDirection::Down)));
    command3_->setIconSize(QSize(28, 30));
    command3_->setDefault(true);
    PlaceTwips(command3_, 1920, 2400, 975, 615);
    auto* label14 = NewLabel(frame1_, "Label14", QStringLiteral("[Enter]"));
    MakeBlue(label14);
    PlaceTwips(label14, 3000, 3000, 735, 255);
    // Each under its button, centred, as wide as the frame lets them be.
    auto* label8 = NewLabel(frame1_, "Label8", QString());
    SetLabelAccessKey(label8, u"前の出席番号に"_s, 'B', command4_);
    label8->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    PlaceTwips(label8, 120, 3240, 1800, 255);
    auto* label7 = NewLabel(frame1_, "Label7", QString());
    SetLabelAccessKey(label7, u"次の出席番号に"_s, 'N', command3_);
    label7->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    PlaceTwips(label7, 1920, 3240, 1860, 255);

    // The whole test.
    label11_ = NewLabel(this, "Label11", QString());
    PlaceTwips(label11_, 4080, 120, 4935, 255);
    grid_ = new GridView(this);
    grid_->setObjectName(QStringLiteral("MSFlexGrid1"));
    grid_->setAccessibleName(u"試験の得点表"_s);
    PlaceTwips(grid_, 4080, 360, 6375, 7815);

    command1_ = NewButton(this, "Command1", QString());
    SetButtonCaption(command1_, u"登録"_s, 'R');
    command1_->setFont(bold);
    PlaceTwips(command1_, 10560, 360, 1095, 495);
    command2_ = NewButton(this, "Command2", QString());
    SetButtonCaption(command2_, u"ｷｬﾝｾﾙ"_s, 'C');
    PlaceTwips(command2_, 10560, 1080, 1095, 495);
    // Its caption takes two lines in the narrow column of buttons.
    importButton_ = NewButton(this, "ImportScores", QString());
    importButton_->setText(u"得点の\n読み込み(&L)..."_s);
    importButton_->setAccessibleName(u"得点の読み込み"_s);
    PlaceTwips(importButton_, 10440, 1800, 1305, 735);

    picture1_ = NewLabel(this, "Picture1", QString());
    picture1_->setPixmap(TestPaperPicture(87, 124));
    picture1_->setAccessibleName(u"答案用紙の絵"_s);
    picture1_->setAlignment(Qt::AlignCenter);
    PlaceTwips(picture1_, 10440, 3360, 1305, 1860);

    // Tab order: the test's name and date, each viewpoint's check box and points, then the
    // score boxes (which keep their own Tab among the checked viewpoints, then 登録), then the
    // rest.
    QWidget* order[] = {text1_,         text2_,          checks_[0],     pointsBoxes_[0],
                        checks_[1],     pointsBoxes_[1], checks_[2],     pointsBoxes_[2],
                        scoreBoxes_[0], scoreBoxes_[1],  scoreBoxes_[2], command1_,
                        command2_,      importButton_,   combo2_,        command5_,
                        command4_,      command3_,       grid_};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void FormTestSpec::Connect() {
    logic_.changed = [this] { Refresh(); };
    logic_.moveFocus = [this](const QString& control) { MoveFocus(control); };
    logic_.closeWindow = [this] { close(); };

    connect(text1_, &QLineEdit::textEdited, this,
            [this](const QString& t) { logic_.Text1_Change(t); });
    connect(text2_, &QLineEdit::textEdited, this, [this](const QString& t) {
        logic_.Text2_Change(t);
        Refresh();
    });
    for (int k = 0; k < 3; ++k) {
        connect(scoreBoxes_[k], &QLineEdit::textEdited, this,
                [this, k](const QString& t) { logic_.ScoreBox_Change(k, t); });
        connect(pointsBoxes_[k], &QLineEdit::textEdited, this,
                [this, k](const QString& t) { logic_.PointsBox_Change(k, t); });
        connect(checks_[k], &QCheckBox::clicked, this,
                [this, k](bool checked) { logic_.Check_Click(k, checked); });
        scoreBoxes_[k]->installEventFilter(this);
    }
    text1_->installEventFilter(this);
    text2_->installEventFilter(this);
    grid_->installEventFilter(this);
    calendarView_ = monthView1_->focusProxy() ? monthView1_->focusProxy() : monthView1_;
    calendarView_->installEventFilter(this);

    connect(monthView1_, &QCalendarWidget::clicked, this,
            [this](QDate date) { logic_.MonthView1_DateClick(date); });
    connect(monthView1_, &QCalendarWidget::activated, this, [this](QDate date) {
        // Enter on a day: the date is taken and the teacher is back in the date box.
        logic_.MonthView1_DateClick(date);
        text2_->setFocus(Qt::OtherFocusReason);
    });
    connect(monthView1_, &QCalendarWidget::selectionChanged, this, [this] {
        // Moving through the days with the keyboard shows the day in the date box as well.
        if (!refreshing_)
            logic_.MonthView1_DateClick(monthView1_->selectedDate());
    });

    connect(combo2_, &QComboBox::activated, this,
            [this](int index) { logic_.Combo2_Click(combo2_->itemText(index)); });
    connect(grid_, &GridView::cellClicked, this,
            [this](int row, int col) { logic_.MSFlexGrid1_Click(row, col); });
    connect(command3_, &QPushButton::clicked, this, [this] { logic_.Command3_Click(); });
    connect(command4_, &QPushButton::clicked, this, [this] { logic_.Command4_Click(); });
    connect(command5_, &QPushButton::clicked, this, [this] { logic_.Command5_Click(); });
    connect(command1_, &QPushButton::clicked, this, [this] { logic_.Command1_Click(); });
    connect(command2_, &QPushButton::clicked, this, [this] { logic_.Command2_Click(); });
    connect(importButton_, &QPushButton::clicked, this, [this] { ImportScoresFromFile(); });
}

void FormTestSpec::Refresh() {
    refreshing_ = true;
    SetTextIfDifferent(text1_, logic_.Text1);
    SetTextIfDifferent(text2_, logic_.Text2);
    const std::array<QLabel*, 3>& labels = viewpointLabels_;
    const QString names[] = {logic_.Label16, logic_.Label17, logic_.Label18};
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
        if (checks_[k]->isChecked() != logic_.ViewpointChecked(k))
            checks_[k]->setChecked(logic_.ViewpointChecked(k));
        labels[k]->setText(names[k]);
        scoreLabels_[k]->setText(names[k]);
        // Names for assistive technology follow the viewpoints' names.
        score->setAccessibleName(names[k]);
        pointsBoxes_[k]->setAccessibleName(names[k] + u"の配点"_s);
        checks_[k]->setAccessibleName(names[k] + u"を使う"_s);
    }
    label3_->setText(logic_.Label3);
    label11_->setText(logic_.Label11);

    QStringList items;
    for (int i = 0; i < combo2_->count(); ++i)
        items << combo2_->itemText(i);
    if (items != logic_.Combo2List) {
        combo2_->clear();
        combo2_->addItems(logic_.Combo2List);
    }
    combo2_->setCurrentIndex(combo2_->findText(logic_.Combo2.trimmed()));

    if (logic_.MonthView1.isValid() && monthView1_->selectedDate() != logic_.MonthView1)
        monthView1_->setSelectedDate(logic_.MonthView1);
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
    if ((watched == text1_ || watched == text2_) && enter) {
        logic_.Field_Enter(watched->objectName());
        return true;
    }
    if (watched == text2_ && key &&
        (key->key() == Qt::Key_F4 ||
         (key->key() == Qt::Key_Down && key->modifiers() == Qt::AltModifier))) {
        monthView1_->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (watched == grid_ && key && key->modifiers() == Qt::NoModifier)
        return logic_.MSFlexGrid1_KeyDown(key->key());
    if (watched == calendarView_ && event->type() == QEvent::FocusIn)
        calendarFocus_->setWidget(monthView1_);
    if (watched == calendarView_ && event->type() == QEvent::FocusOut) {
        calendarFocus_->setWidget(nullptr);
        calendarFocus_->hide();
    }
    if (watched == text1_ && event->type() == QEvent::MouseButtonRelease) {
        logic_.Text1_Click();
        // After the click has placed the cursor: the whole name is selected.
        QTimer::singleShot(0, text1_, [box = text1_] { box->selectAll(); });
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
            return logic_.ScoreBox_KeyDown(k, key->key());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FormTestSpec::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Command3 is the default button: Enter moves to the next pupil.
        logic_.Command3_Click();
        event->accept();
        return;
    case Qt::Key_Escape:
        // In the calendar, Esc goes back to the date; elsewhere Command2 is the cancel button.
        if (calendarView_->hasFocus())
            text2_->setFocus(Qt::OtherFocusReason);
        else
            logic_.Command2_Click();
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
