#include "formhomeroom.h"

#include "editors/common/accessibility.h"
#include "editors/common/editorform.h"
#include "editors/common/gridview.h"
#include "editors/common/pictures.h"
#include "editors/common/twips.h"
#include "output/fonts.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// A small schoolhouse with a clock and a tree beside it.
QPixmap SchoolPicture(int w, int h) {
    QPixmap pixmap = NewPicture(w, h);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal ground = h - 6;
    // Sky and ground.
    p.fillRect(QRectF(0, 0, w, ground), QColor(220, 238, 255));
    p.fillRect(QRectF(0, ground, w, h - ground), QColor(150, 200, 110));
    // Building and roof.
    const QRectF body(6, h * 0.42, w * 0.66, ground - h * 0.42);
    p.setPen(QPen(QColor(120, 80, 50), 1));
    p.setBrush(QColor(250, 235, 200));
    p.drawRect(body);
    QPolygonF roof;
    roof << QPointF(body.left() - 3, body.top()) << QPointF(body.center().x(), h * 0.14)
         << QPointF(body.right() + 3, body.top());
    p.setBrush(QColor(200, 60, 50));
    p.drawPolygon(roof);
    // Clock under the gable.
    const QPointF clock(body.center().x(), body.top() - h * 0.1);
    p.setBrush(Qt::white);
    p.drawEllipse(clock, h * 0.07, h * 0.07);
    p.drawLine(clock, clock + QPointF(0, -h * 0.05));
    p.drawLine(clock, clock + QPointF(h * 0.04, 0));
    // Windows and door.
    p.setBrush(QColor(130, 190, 240));
    const qreal win = body.width() / 7;
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(body.left() + win * (0.7 + 2.2 * i), body.top() + 5, win, win));
    p.setBrush(QColor(150, 100, 60));
    p.drawRect(QRectF(body.center().x() - win * 0.6, ground - win * 1.6, win * 1.2, win * 1.6));
    // Tree.
    const qreal treeX = w - 8;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(130, 90, 50));
    p.drawRect(QRectF(treeX - 1.5, ground - h * 0.22, 3, h * 0.22));
    p.setBrush(QColor(60, 150, 70));
    p.drawEllipse(QPointF(treeX, ground - h * 0.3), w * 0.11, h * 0.15);
    return pixmap;
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& caption, int left, int top) {
    QLabel* label = kirune::NewLabel(parent, name, caption);
    label->move(TwipsToPixels(left), TwipsToPixels(top));
    label->adjustSize();
    return label;
}

// Two-line label below an arrow button ("前の出席" / "番号に"), the width of four characters.
QLabel* NewWrappedLabel(QWidget* parent, const char* name, const QString& caption, int left,
                        int top) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    // Four characters on the first line, the rest (with the access key) on the second.
    const QString shown = QString(caption).remove(u'&');
    const int width = std::max(label->fontMetrics().horizontalAdvance(shown.left(4)),
                               label->fontMetrics().horizontalAdvance(shown.mid(4))) +
                      2;
    label->move(TwipsToPixels(left), TwipsToPixels(top));
    label->resize(width, label->heightForWidth(width));
    return label;
}

// Places a box at its twips position; a box is never made lower than its text needs.
void PlaceBox(QWidget* box, int left, int top, int width, int height) {
    PlaceTwips(box, left, top, width, height);
    box->resize(box->width(), std::max(box->height(), box->sizeHint().height()));
}

QComboBox* NewCombo(QWidget* parent, const QString& name, const QStringList& items) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(12);
    combo->addItems(items);
    return combo;
}

// Names are typed in Japanese: let the input method switch on in this box.
void AskForJapaneseInput(QLineEdit* box) {
    box->setAttribute(Qt::WA_InputMethodEnabled, true);
    box->setInputMethodHints(Qt::ImhNone);
}

void SetTextIfDifferent(QComboBox* box, const QString& text) {
    if (box->currentText() != text) {
        box->setEditText(text);
        // Show the beginning of a text wider than the box.
        if (!box->hasFocus())
            box->lineEdit()->setCursorPosition(0);
    }
}

} // namespace

FormHomeRoom::FormHomeRoom(GradeBook& book, Session& session, Platform& platform,
                           MainFormHooks& main, QWidget* parent)
    : EditorFormBase("FormHomeRoom", u"学級の編集"_s, kClientWidth, kClientHeight, Qt::Dialog,
                     parent),
      logic_(book, session, platform, main) {
    BuildControls();
    Connect();

    logic_.changed = [this] { Refresh(); };
    logic_.focusText2 = [this] { text2_->setFocus(); };
    logic_.focusField = [this](HomeRoomEditor::Field field) { Focus(field); };
    logic_.closeWindow = [this] {
        if (!closing_)
            close();
    };
    logic_.Form_Load();
    grid_->setGrid(&logic_.grid);
    Refresh();
    combo1_[0]->setFocus();
}

FormHomeRoom::~FormHomeRoom() {
    // The logic outlives no window: nothing may call back into a half-destroyed one.
    logic_.changed = nullptr;
    logic_.focusText2 = nullptr;
    logic_.focusField = nullptr;
    logic_.closeWindow = nullptr;
}

// A box whose longest entry is wider than the box grows to the left, up to the label before it,
// so that its whole text shows.
void WidenToTheLeft(QComboBox* box, const QWidget* label) {
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    const int needed = box->sizeHint().width();
    if (needed <= box->width())
        return;
    const int left = std::max(label->geometry().right() + 6, box->geometry().right() + 1 - needed);
    box->setGeometry(QRect(QPoint(left, box->y()), box->geometry().bottomRight()));
}

void FormHomeRoom::BuildControls() {
    QLabel* label1 = NewLabel(this, "Label1", u"年度"_s, 1080, 240);
    QLabel* label2 = NewLabel(this, "Label2", u"学年"_s, 1080, 600);
    QLabel* label3 = NewLabel(this, "Label3", u"学級"_s, 1080, 960);
    QLabel* label4 = NewLabel(this, "Label4", u"担任の氏名"_s, 480, 1320);
    const int comboTops[3] = {120, 480, 840};
    for (int i = 0; i < 3; ++i) {
        combo1_[i] = NewCombo(this, QStringLiteral("Combo1_%1").arg(i),
                              HomeRoomEditor::Combo1Items(i, logic_.platform.Today()));
        PlaceBox(combo1_[i], 1800, comboTops[i], 1935, 300);
    }
    WidenToTheLeft(combo1_[0], label1); // "2000年（平成12年）"
    // Each box is named by its label (screen readers on Linux read a drop-down list's label).
    label1->setBuddy(combo1_[0]);
    label2->setBuddy(combo1_[1]);
    label3->setBuddy(combo1_[2]);
    combo1_[0]->setAccessibleName(u"年度"_s);
    combo1_[1]->setAccessibleName(u"学年"_s);
    combo1_[2]->setAccessibleName(u"学級"_s);
    text1_ = new QLineEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    PlaceBox(text1_, 1800, 1200, 1935, 390);
    AskForJapaneseInput(text1_);
    text1_->setAccessibleName(u"担任の氏名"_s);
    label4->setBuddy(text1_);

    picture1_ = new QLabel(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    PlaceTwips(picture1_, 120, 120, 840, 840);
    picture1_->setPixmap(SchoolPicture(picture1_->width(), picture1_->height()));
    picture1_->setFrameShape(QFrame::Panel);
    picture1_->setFrameShadow(QFrame::Sunken);
    picture1_->setAccessibleName(u"学校の絵"_s);

    grid_ = new GridView(this);
    grid_->setObjectName(QStringLiteral("MSFlexGrid1"));
    grid_->setAccessibleName(u"名簿"_s);
    PlaceTwips(grid_, 3960, 120, 3135, 6735);
    // The grid shows the roster; choosing a pupil happens by clicks, the keyboard stays in the
    // boxes.
    grid_->setFocusPolicy(Qt::NoFocus);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    frame1_ = new QGroupBox(u"名簿を作成"_s, this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    PlaceTwips(frame1_, 120, 2160, 3615, 4215);
    QLabel* label5 = NewLabel(frame1_, "Label5", u"出席番号"_s, 240, 360);
    combo2_ = NewCombo(frame1_, QStringLiteral("Combo2"), HomeRoomEditor::Combo2Items());
    combo2_->setInputMethodHints(Qt::ImhDigitsOnly);
    combo2_->setAccessibleName(u"出席番号"_s);
    label5->setBuddy(combo2_);
    PlaceBox(combo2_, 1320, 360, 1815, 300);
    NewLabel(frame1_, "Label6", u"生徒の氏名"_s, 240, 960);
    text2_ = new QLineEdit(frame1_);
    text2_->setObjectName(QStringLiteral("Text2"));
    PlaceBox(text2_, 1320, 960, 1935, 375);
    AskForJapaneseInput(text2_);
    text2_->setAccessibleName(u"生徒の氏名"_s);
    text2_->installEventFilter(this);

    command4_ = NewButton(frame1_, "Command4", QString());
    PlaceTwips(command4_, 600, 1680, 975, 615);
    command4_->setIcon(QIcon(ArrowPicture(ArrowDirection::Left)));
    command4_->setIconSize(QSize(36, 24));
    command4_->setToolTip(u"前の出席番号に"_s);
    const QString previous = u"前の出席番号に"_s;
    SetLabelAccessKey(NewWrappedLabel(frame1_, "Label8", WithAccessKey(previous, 'B'), 840, 2400),
                      previous, 'B', command4_);

    command3_ = NewButton(frame1_, "Command3", QString());
    PlaceTwips(command3_, 2040, 1680, 975, 615);
    command3_->setIcon(QIcon(ArrowPicture(ArrowDirection::Right)));
    command3_->setIconSize(QSize(36, 24));
    command3_->setToolTip(u"次の出席番号に"_s);
    command3_->setDefault(true);
    const QString next = u"次の出席番号に"_s;
    QLabel* label7 = NewWrappedLabel(frame1_, "Label7", WithAccessKey(next, 'N'), 2040, 2400);
    SetLabelAccessKey(label7, next, 'N', command3_);
    // The key beside the caption, clear of it whatever the font.
    QLabel* label9 = NewLabel(frame1_, "Label9", QStringLiteral("[Enter]"), 2760, 2520);
    label9->move(label7->geometry().right() + 6, label9->y());

    command5_ = NewButton(frame1_, "Command5", QString());
    SetButtonCaption(command5_, u"転出"_s, 'T');
    PlaceTwips(command5_, 360, 3000, 975, 975);

    command1_ = NewButton(this, "Command1", QString());
    SetButtonCaption(command1_, u"登録"_s, 'R');
    PlaceTwips(command1_, 7200, 240, 1095, 495);
    command2_ = NewButton(this, "Command2", QString());
    SetButtonCaption(command2_, u"ｷｬﾝｾﾙ"_s, 'C');
    PlaceTwips(command2_, 7200, 960, 1095, 495);

    QWidget* order[] = {combo1_[0], combo1_[1], combo1_[2], text1_,    combo2_,  text2_,
                        command4_,  command3_,  command5_,  command1_, command2_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void FormHomeRoom::Connect() {
    for (int i = 0; i < 3; ++i) {
        connect(combo1_[i], &QComboBox::editTextChanged, this, [this, i](const QString& text) {
            if (!refreshing_)
                logic_.Combo1_Change(i, text);
        });
    }
    connect(text1_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!refreshing_)
            logic_.Text1_Change(text);
    });
    connect(combo2_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!refreshing_)
            logic_.Combo2_Change(text);
    });
    connect(combo2_, &QComboBox::textActivated, this, [this](const QString& text) {
        if (!refreshing_)
            logic_.Combo2_Click(text);
    });
    connect(combo2_->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (!refreshing_)
            logic_.Combo2_LostFocus();
    });
    connect(text2_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!refreshing_)
            logic_.Text2_Change(text);
    });
    connect(grid_, &GridView::cellClicked, this,
            [this](int row, int col) { logic_.MSFlexGrid1_Click(row, col); });
    connect(command1_, &QPushButton::clicked, this, [this] { logic_.Command1_Click(); });
    connect(command2_, &QPushButton::clicked, this, [this] { logic_.Command2_Click(); });
    connect(command3_, &QPushButton::clicked, this, [this] { logic_.Command3_Click(); });
    connect(command4_, &QPushButton::clicked, this, [this] { logic_.Command4_Click(); });
    connect(command5_, &QPushButton::clicked, this, [this] { logic_.Command5_Click(); });
}

void FormHomeRoom::Refresh() {
    refreshing_ = true;
    for (int i = 0; i < 3; ++i)
        SetTextIfDifferent(combo1_[i], logic_.combo1[i]);
    SetTextIfDifferent(text1_, logic_.text1);
    SetTextIfDifferent(combo2_, logic_.combo2);
    SetTextIfDifferent(text2_, logic_.text2);
    grid_->refresh();
    FitNameColumn();
    refreshing_ = false;
}

void FormHomeRoom::FitNameColumn() {
    // The name column takes the rest of the grid's width; on screen that is what the frame and
    // the scroll bar leave, so no name is hidden behind the scroll bar.
    const int inside = grid_->width() - 2 * grid_->frameWidth() -
                       grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_);
    const int nameWidth = inside - grid_->columnWidth(0);
    if (nameWidth > 0)
        grid_->setDisplayColumnWidth(1, nameWidth);
}

void FormHomeRoom::Focus(HomeRoomEditor::Field field) {
    switch (field) {
    case HomeRoomEditor::Field::Year:
        combo1_[0]->setFocus();
        break;
    case HomeRoomEditor::Field::Grade:
        combo1_[1]->setFocus();
        break;
    case HomeRoomEditor::Field::Class:
        combo1_[2]->setFocus();
        break;
    case HomeRoomEditor::Field::Teacher:
        text1_->setFocus();
        break;
    case HomeRoomEditor::Field::PupilName:
        text2_->setFocus();
        break;
    }
}

bool FormHomeRoom::Unload() {
    closing_ = true;
    const bool closes = logic_.Closed() || logic_.Form_Unload();
    closing_ = false;
    return closes;
}

void FormHomeRoom::keyPressEvent(QKeyEvent* event) {
    // Keys the focused control did not use: Enter presses the default button, Esc the cancel
    // button (a plain window has no dialog buttons of its own).
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            command3_->click();
            return;
        case Qt::Key_Escape:
            command2_->click();
            return;
        default:
            break;
        }
    }
    QWidget::keyPressEvent(event);
}

bool FormHomeRoom::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text2_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (modifiers == Qt::NoModifier && logic_.Text2_KeyDown(key->key())) {
            text2_->setFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kirune
