// The test editor's window driven offscreen with the keyboard and the mouse: layout of its
// controls, the keyboard flow of score entry (digits, Tab, Enter, arrows) and closing.
#include "editors/exam/formtestspec.h"

#include "browse/bookfixture.h"
#include "editors/common/gridview.h"
#include "editors/common/twips.h"
#include "support/fakeplatform.h"

#include "support/testutil.h"
#include "support/widgettest.h"
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

using kirune::testing::BookWithPupils;

// Key presses and mouse clicks as the window system delivers them: to the widget, and on to its
// parents while nobody takes them.
void KeyClick(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              const QString& text = QString()) {
    QPointer<QWidget> target = widget;
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    if (target) {
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(target, &release);
    }
}

void KeyClicks(QWidget* widget, const QString& text) {
    for (QChar ch : text)
        KeyClick(widget, static_cast<Qt::Key>(ch.toUpper().unicode()), Qt::NoModifier, ch);
}

QString KeyText(Qt::Key key) {
    switch (key) {
    case Qt::Key_Tab:
        return QStringLiteral("\t");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Escape:
        return QString(QChar(0x1b));
    default:
        return QString();
    }
}

class FakeMain : public MainFormHooks {
public:
    void EnableMainWindow() override { calls << QStringLiteral("EnableMainWindow"); }
    void MSFlexGrid1_init() override { calls << QStringLiteral("MSFlexGrid1_init"); }
    void TreeView1_refresh() override { calls << QStringLiteral("TreeView1_refresh"); }
    QStringList calls;
};

class TestEditorWindowTest : public ::testing::Test {
protected:
    TestEditorWindowTest() { book = BookWithPupils({u"青木", u"伊藤", u"上田", u"江藤"}); }
    ~TestEditorWindowTest() override { delete window.data(); }

    FormTestSpec& Show() {
        window = new FormTestSpec(*book, session, platform, main);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QApplication::processEvents();
        EXPECT_EQ(QApplication::activeWindow(), window.data());
        return *window;
    }

    template <typename T = QWidget> T* Control(const char* name) {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* Box(const char* name) { return Control<QLineEdit>(name); }
    QString FocusName() const {
        QWidget* w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }
    // Keys go to the widget that has the focus, as the keyboard sends them.
    void Type(const QString& digits) { KeyClicks(QApplication::focusWidget(), digits); }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        KeyClick(QApplication::focusWidget(), key, modifiers, KeyText(key));
    }

    std::unique_ptr<GradeBook> book;
    Session session;
    test::FakePlatform platform;
    FakeMain main;
    QPointer<FormTestSpec> window;
};

TEST_F(TestEditorWindowTest, ControlsHaveTheirNamesCaptionsAndPlaces) {
    FormTestSpec& w = Show();
    EXPECT_EQ(w.windowTitle(), u"試験結果の編集"_s);
    EXPECT_EQ(w.size(), QSize(TwipsToPixels(11775), TwipsToPixels(8280)));

    // Where each control stands, in pixels at the tests' 96 dots per inch: name, left, top,
    // width and height (inside the score entry frame for the controls of the score entry).
    const char* const places = R"(
Label1                 8    8   96   17
nameBox              106    0  151   26
Label2                 8   32   96   17
dateBox              106   24  151   26
calendar              96   48  159  148
Label15                8  208  105   17
viewpointLabel1       16  232   33   17
viewpointLabel2      104  232   33   17
viewpointLabel3      192  232   33   17
viewpointCheck1       56  232   17   17
viewpointCheck2      144  232   17   17
viewpointCheck3      232  232   17   17
pointsBox1            32  248   41   25
pointsBox2           120  248   41   25
pointsBox3           208  248   41   25
entryFrame             8  296  257  249
Label5                16   32   57   25
pupilBox              80   32   57   20
absentButton         184   32   57   57
Label6                16   72   65   17
pupilName             88   72  161   22
scoreBox1              8  112   49   33
ScoreLabel1            8   95   88   17
ScoreLabel3          200   95   88   17
scoreBox2            104  112   49   33
scoreBox3            200  112   49   33
Label12               64  128   33   17
Label13              160  128   33   17
previousPupilButton   48  160   65   41
nextPupilButton      128  160   65   41
Label14              200  200   49   17
Label8                 8  216  120   17
Label7               128  216  124   17
gridTitle            272    8  329   17
scoreGrid            272   24  425  521
registerButton       704   24   73   33
cancelButton         704   72   73   33
picture              696  224   87  124
)";
    int checked = 0;
    for (const QString& line : QString::fromLatin1(places).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(u' ', Qt::SkipEmptyParts);
        ASSERT_EQ(f.size(), 5) << line.toStdString();
        QWidget* c = Control(f[0].toLatin1());
        ASSERT_NE(c, nullptr) << line.toStdString();
        EXPECT_EQ(c->geometry(), QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt()))
            << line.toStdString();
        ++checked;
    }
    EXPECT_EQ(checked, 38);
    QWidget* frame = Control("entryFrame");
    for (const char* inside : {"pupilBox", "scoreBox1", "nextPupilButton", "Label7"})
        EXPECT_EQ(Control(inside)->parentWidget(), frame) << inside;

    const struct {
        const char* name;
        const char16_t* text;
    } captions[] = {
        {"Label1", u"試験の名称(&M)"},
        {"Label2", u"試験の実施日(&D)"},
        {"Label15", u"観点の選択と配点"},
        {"Label5", u"出席番号"},
        {"Label6", u"生徒の氏名"},
        {"Label12", u"[TAB]"},
        {"Label13", u"[TAB]"},
        {"Label14", u"[Enter]"},
        {"Label8", u"前の出席番号に(&B)"},
        {"Label7", u"次の出席番号に(&N)"},
        {"viewpointLabel1", u"表現"},
        {"ScoreLabel1", u"表現"},
        {"ScoreLabel2", u"理解"},
        {"pupilName", u"青木"},
        {"gridTitle", u"一学期 国語 第 1回 試験  "},
    };
    for (const auto& c : captions)
        EXPECT_EQ(Control<QLabel>(c.name)->text(), QString::fromUtf16(c.text)) << c.name;
    EXPECT_EQ(Control<QGroupBox>("entryFrame")->title(), u"それぞれの生徒の得点を入力します"_s);
    EXPECT_EQ(Control<QPushButton>("registerButton")->text(), u"登録(&R)"_s);
    EXPECT_TRUE(Control<QPushButton>("registerButton")->font().bold());
    EXPECT_EQ(Control<QPushButton>("cancelButton")->text(), u"ｷｬﾝｾﾙ(&C)"_s);
    EXPECT_EQ(Control<QPushButton>("absentButton")->text(), u"欠席(&K)"_s);
    EXPECT_TRUE(Control<QPushButton>("nextPupilButton")->isDefault());
    EXPECT_FALSE(Control<QPushButton>("nextPupilButton")->icon().isNull());
    EXPECT_FALSE(Control<QPushButton>("previousPupilButton")->icon().isNull());
    EXPECT_FALSE(Control<QLabel>("picture")->pixmap().isNull());
    EXPECT_TRUE(Control<QLabel>("pupilName")->font().bold());
    for (const char* name :
         {"scoreBox1", "scoreBox2", "scoreBox3", "pointsBox1", "pointsBox2", "pointsBox3"}) {
        EXPECT_FALSE(Box(name)->testAttribute(Qt::WA_InputMethodEnabled)) << name;
        if (name[0] == 's') {
            EXPECT_TRUE(Box(name)->font().bold());
            EXPECT_GT(Box(name)->font().pointSizeF(), w.font().pointSizeF());
        }
    }
    EXPECT_EQ(Control<QLabel>("Label12")->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(Control<QCalendarWidget>("calendar")->selectedDate(), platform.today);
    EXPECT_EQ(Box("dateBox")->text(), QStringLiteral("2026/12/07"));
    EXPECT_EQ(Box("nameBox")->text(), u" 1回目試験"_s);
    auto* combo = Control<QComboBox>("pupilBox");
    ASSERT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->currentText(), QStringLiteral("1"));
    auto* grid = Control<GridView>("scoreGrid");
    EXPECT_EQ(grid->rowCount(), 43);
    EXPECT_EQ(grid->columnCount(), 7);
    EXPECT_EQ(grid->columnWidth(1), TwipsToPixels(1600));
    EXPECT_EQ(grid->columnWidth(6), TwipsToPixels(515));
    EXPECT_EQ(grid->rowHeight(3), TwipsToPixels(300));
    EXPECT_EQ(FocusName(), QStringLiteral("scoreBox1"));
}

TEST_F(TestEditorWindowTest, AWholeTestFromTheKeyboardAlone) {
    FormTestSpec& w = Show();
    // From the name, Tab walks the test's definition: the date, each viewpoint's check box and
    // points, then the scores. Enter in the name or the date moves on and keeps the pupil. The
    // calendar is no Tab stop: Alt+Down or F4 opens it from the date, Esc goes back.
    Box("nameBox")->setFocus();
    Press(Qt::Key_Return);
    EXPECT_EQ(FocusName(), QStringLiteral("dateBox"));
    Press(Qt::Key_F4);
    EXPECT_TRUE(Control("calendar")->isAncestorOf(QApplication::focusWidget()));
    EXPECT_TRUE(w.findChild<QFocusFrame*>()->isVisible()); // the calendar shows it has the focus
    Press(Qt::Key_Escape);
    EXPECT_EQ(FocusName(), QStringLiteral("dateBox"));
    EXPECT_FALSE(w.findChild<QFocusFrame*>()->isVisible());
    EXPECT_FALSE(w.logic().Closed());
    Press(Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(Control("calendar")->isAncestorOf(QApplication::focusWidget()));
    Press(Qt::Key_Escape);
    Press(Qt::Key_Return);
    EXPECT_EQ(FocusName(), QStringLiteral("scoreBox1"));
    EXPECT_EQ(session.CurrentStudentNo, 1);
    Box("dateBox")->setFocus();
    QStringList walked;
    for (int i = 0; i < 7; ++i) {
        Press(Qt::Key_Tab);
        walked << FocusName();
        if (walked.back().startsWith(QLatin1String("pointsBox")) && walked.back() != "scoreBox1")
            Type(QStringLiteral("100"));
    }
    EXPECT_EQ(walked, QStringList({"viewpointCheck1", "pointsBox1", "viewpointCheck2", "pointsBox2",
                                   "viewpointCheck3", "pointsBox3", "scoreBox1"}));

    // Pupil by pupil: digits, Tab between the boxes, Enter for the next pupil.
    Type(QStringLiteral("85"));
    Press(Qt::Key_Tab);
    Type(QStringLiteral("90"));
    Press(Qt::Key_Tab);
    Type(QStringLiteral("70"));
    Press(Qt::Key_Return);
    EXPECT_EQ(session.CurrentStudentNo, 2);
    EXPECT_EQ(FocusName(), QStringLiteral("scoreBox1"));
    EXPECT_EQ(Control<QLabel>("pupilName")->text(), u"伊藤"_s);

    Type(QStringLiteral("60"));
    Press(Qt::Key_Tab);
    Type(QStringLiteral("*"));
    Press(Qt::Key_Tab);
    Type(QStringLiteral("50"));
    Press(Qt::Key_Enter);

    Type(QStringLiteral("100"));
    Press(Qt::Key_Tab);
    Type(QStringLiteral("100"));
    Press(Qt::Key_Tab);
    Type(QStringLiteral("40"));
    Press(Qt::Key_Return);

    Type(QStringLiteral(" 7"));
    Press(Qt::Key_Return); // the last pupil: stays, the entry is committed
    EXPECT_EQ(session.CurrentStudentNo, 4);
    EXPECT_EQ(Box("scoreBox1")->text(), QStringLiteral(" 7"));
    EXPECT_EQ(Box("scoreBox1")->selectedText(), QStringLiteral(" 7"))
        << "the box's text is selected";

    // From the last score box on to 登録, and Enter.
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    ASSERT_EQ(FocusName(), QStringLiteral("registerButton"));
    platform.choiceAnswers = {kAnswerYes};
    Press(Qt::Key_Return);

    // Pupil 4 has one score of three: asked, and registered on はい.
    EXPECT_EQ(platform.messages,
              QStringList{
                  u"得点が入っていない児童が 1 名います（出席番号 4）。このまま登録しますか？"_s});
    EXPECT_TRUE(w.logic().Closed());
    EXPECT_FALSE(w.isVisible());
    const int S = TestSlot(0, 0, 0, 0);
    const float expected[4][4] = {
        {85, 60, 100, 7}, {90, -2, 100, -1}, {70, 50, 40, -1}, {245, -2, 240, 7}};
    for (int k = 0; k < 4; ++k)
        for (int n = 0; n < 4; ++n)
            EXPECT_EQ(book->Scores[S + k][n], expected[k][n]) << k << "," << n;
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(book->Scores[S + k][kPointsColumn], 100);
    EXPECT_FLOAT_EQ(book->Scores[S + 0][kAverageColumn], 63.0f);
    EXPECT_FLOAT_EQ(book->Scores[S + 3][kAverageColumn], 164.0f);
    EXPECT_EQ(book->Scores[S + 3][kCountColumn], 3);
    EXPECT_EQ(book->TestInfo[S][0], QStringLiteral("2026/12/07"));
    EXPECT_EQ(book->Scores[SemesterAggregateSlot(0, 0, 3)][0], 245);
    EXPECT_EQ(book->Scores[SemesterAggregateSlot(0, 0, 3)][1], 10000);
    EXPECT_EQ(book->Scores[SemesterAggregateSlot(0, 0, 0)][1], 60);
    EXPECT_TRUE(session.CautionAnswer);
    EXPECT_TRUE(session.NeedsSave);
    EXPECT_EQ(main.calls, QStringList{"EnableMainWindow"});
}

TEST_F(TestEditorWindowTest, TypingOverStoredScoresReplacesThemPupilAfterPupil) {
    // A test registered before: every box of the next pupil opens with its stored score, and
    // the digits typed must replace it, not run on behind it.
    const int S = TestSlot(0, 0, 0, 0);
    for (int n = 0; n < 4; ++n)
        for (int k = 0; k < 3; ++k)
            book->Scores[S + k][n] = 10.0f + n;
    Show();
    for (int n = 0; n < 3; ++n) {
        Type(QStringLiteral("5%1").arg(n));
        Press(Qt::Key_Tab);
        Type(QStringLiteral("6%1").arg(n));
        Press(Qt::Key_Tab);
        Type(QStringLiteral("7%1").arg(n));
        Press(Qt::Key_Return);
    }
    EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages.join(u'/').toStdString();
    const Grid& grid = window->logic().scoreGrid;
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(grid.Text(n + 1, 2), QStringLiteral(" 5%1").arg(n));
        EXPECT_EQ(grid.Text(n + 1, 3), QStringLiteral(" 6%1").arg(n));
        EXPECT_EQ(grid.Text(n + 1, 4), QStringLiteral(" 7%1").arg(n));
    }
    EXPECT_EQ(grid.Text(4, 2), QStringLiteral(" 13")) << "the fourth pupil is untouched";
}

TEST_F(TestEditorWindowTest, RefusedEntryShowsTheMessageAndKeepsThePupil) {
    Show();
    Type(QStringLiteral("8.5"));
    Press(Qt::Key_Return);
    EXPECT_EQ(platform.messages, QStringList{u"得点に数字以外の文字があります。"_s});
    EXPECT_EQ(session.CurrentStudentNo, 1);
    EXPECT_EQ(FocusName(), QStringLiteral("scoreBox1"));
    // The grid takes the click and moves on, dropping the entry.
    auto* grid = Control<GridView>("scoreGrid");
    const QRect cell = grid->cellRect(3, 4);
    test::Click(grid->viewport(), cell.center());
    EXPECT_EQ(session.CurrentStudentNo, 3);
    EXPECT_EQ(FocusName(), QStringLiteral("scoreBox3"));
    EXPECT_EQ(Control<QLabel>("pupilName")->text(), u"上田"_s);
    EXPECT_TRUE(Box("scoreBox1")->text().isEmpty());
    EXPECT_TRUE(window->logic().scoreGrid.Text(1, 2).isEmpty());
}

TEST_F(TestEditorWindowTest, ArrowKeysMoveBetweenBoxesAndPupils) {
    Show();
    Press(Qt::Key_Right);
    EXPECT_EQ(FocusName(), QStringLiteral("scoreBox2"));
    Type(QStringLiteral("33"));
    Press(Qt::Key_Down);
    EXPECT_EQ(session.CurrentStudentNo, 2);
    EXPECT_EQ(FocusName(), QStringLiteral("scoreBox2"));
    Press(Qt::Key_Left);
    EXPECT_EQ(FocusName(), QStringLiteral("scoreBox1"));
    Press(Qt::Key_Left);
    EXPECT_EQ(FocusName(), QStringLiteral("scoreBox3"));
    Press(Qt::Key_Up);
    EXPECT_EQ(session.CurrentStudentNo, 1);
    EXPECT_EQ(FocusName(), QStringLiteral("scoreBox3"));
    EXPECT_EQ(Box("scoreBox2")->text(), QStringLiteral(" 33"));
}

// Tab and Shift+Tab go round the whole window without ever stopping in the calendar, which is
// reached from the date alone.
TEST_F(TestEditorWindowTest, TabNeverStopsInTheCalendar) {
    Show();
    QWidget* calendar = Control("calendar");
    for (const Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier}) {
        Box("nameBox")->setFocus();
        QStringList walked;
        for (int i = 0; i < 30; ++i) {
            Press(Qt::Key_Tab, modifiers);
            QWidget* now = QApplication::focusWidget();
            walked << FocusName();
            EXPECT_FALSE(now == calendar || calendar->isAncestorOf(now))
                << walked.join(u' ').toStdString();
        }
    }
}

TEST_F(TestEditorWindowTest, TabAndShiftTabStayAmongTheCheckedScoreBoxes) {
    Show();
    test::Click(Control("viewpointCheck2"));
    EXPECT_FALSE(Control<QCheckBox>("viewpointCheck2")->isChecked());
    Box("scoreBox1")->setFocus();
    // Tab: the checked boxes, then 登録; Shift+Tab goes round the checked boxes.
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* next;
    } steps[] = {{Qt::Key_Tab, Qt::NoModifier, "scoreBox3"},
                 {Qt::Key_Backtab, Qt::ShiftModifier, "scoreBox1"},
                 {Qt::Key_Backtab, Qt::ShiftModifier, "scoreBox3"},
                 {Qt::Key_Tab, Qt::NoModifier, "registerButton"}};
    for (const auto& step : steps) {
        Press(step.key, step.modifiers);
        EXPECT_EQ(FocusName(), QString::fromLatin1(step.next));
    }
    // Never onto the test's name, whose selected text the next digit would replace.
    test::Click(Control("viewpointCheck3"));
    Box("scoreBox1")->setFocus();
    Press(Qt::Key_Right);
    EXPECT_EQ(FocusName(), QStringLiteral("scoreBox1"));
    Press(Qt::Key_Tab);
    EXPECT_EQ(FocusName(), QStringLiteral("registerButton"));
    // The last checked viewpoint cannot be unchecked.
    test::Click(Control("viewpointCheck1"));
    EXPECT_TRUE(Control<QCheckBox>("viewpointCheck1")->isChecked());
    // The name and the date are reached by their labels' access keys.
    Press(Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(FocusName(), QStringLiteral("nameBox"));
    Press(Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(FocusName(), QStringLiteral("dateBox"));
}

TEST_F(TestEditorWindowTest, PointsBoxRefusesZeroAndLetters) {
    Show();
    Box("pointsBox1")->setFocus();
    Type(QStringLiteral("0"));
    EXPECT_TRUE(Box("pointsBox1")->text().isEmpty());
    Type(QStringLiteral("x"));
    EXPECT_TRUE(Box("pointsBox1")->text().isEmpty());
    Type(QStringLiteral("25"));
    EXPECT_EQ(Box("pointsBox1")->text(), QStringLiteral("25"));
    EXPECT_EQ(window->logic().pointsBoxes[0], QStringLiteral("25"));
}

TEST_F(TestEditorWindowTest, AbsentButtonFillsTheCheckedBoxes) {
    Show();
    test::Click(Control("viewpointCheck1"));
    test::Click(Control("absentButton"));
    EXPECT_TRUE(Box("scoreBox1")->text().isEmpty());
    EXPECT_EQ(Box("scoreBox2")->text(), QStringLiteral("*"));
    EXPECT_EQ(Box("scoreBox3")->text(), QStringLiteral("*"));
    EXPECT_EQ(FocusName(), QStringLiteral("scoreBox2"));
}

TEST_F(TestEditorWindowTest, NameClickSelectsTheNameAndTouchesIt) {
    Show();
    test::Click(Box("nameBox"));
    QApplication::processEvents();
    EXPECT_TRUE(window->logic().NameTouched);
    EXPECT_EQ(Box("nameBox")->selectedText(), u" 1回目試験"_s);
}

TEST_F(TestEditorWindowTest, DateBoxAndCalendarFollowEachOther) {
    Show();
    Box("dateBox")->setFocus();
    Box("dateBox")->selectAll();
    Type(QStringLiteral("2026/05/10"));
    auto* calendar = Control<QCalendarWidget>("calendar");
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 5, 10));
    Type(QStringLiteral("x"));
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 5, 10));
    EXPECT_EQ(Box("dateBox")->text(), QStringLiteral("2026/05/10x"));
    calendar->setFocus();
    Press(Qt::Key_Right); // the next day, by keyboard
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 5, 11));
    EXPECT_EQ(Box("dateBox")->text(), QStringLiteral("2026/05/11"));
}

TEST_F(TestEditorWindowTest, PupilBoxChoosesAPupilByKeyboard) {
    Show();
    Type(QStringLiteral("12"));
    auto* combo = Control<QComboBox>("pupilBox");
    combo->setFocus();
    Press(Qt::Key_Down);
    EXPECT_EQ(session.CurrentStudentNo, 2);
    EXPECT_EQ(window->logic().scoreGrid.Text(1, 2), QStringLiteral(" 12"));
    EXPECT_EQ(combo->currentText(), QStringLiteral("2"));
    EXPECT_EQ(FocusName(), QStringLiteral("scoreBox1"));
}

TEST_F(TestEditorWindowTest, SemicolonInTheNameIsRefusedAndTheWindowStays) {
    FormTestSpec& w = Show();
    test::Click(Box("nameBox"));
    Box("nameBox")->setFocus();
    Box("nameBox")->end(false);
    Type(QStringLiteral(";"));
    test::Click(Control("registerButton"));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].startsWith(u"試験の名称"_s));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(FocusName(), QStringLiteral("nameBox"));
    EXPECT_EQ(book->TestInfo[TestSlot(0, 0, 0, 0)][1], u" 1回目試験"_s);
    EXPECT_TRUE(main.calls.isEmpty());
}

TEST_F(TestEditorWindowTest, EscapeAsksBeforeThrowingAwayTheScores) {
    const GradeBook before = *book;
    FormTestSpec& w = Show();
    Type(QStringLiteral("50"));
    Press(Qt::Key_Return);
    platform.answers = {false}; // No: back to the editor
    Press(Qt::Key_Escape);
    EXPECT_EQ(platform.questions, QStringList{DiscardQuestion()});
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.logic().scoreGrid.Text(1, 2), QStringLiteral(" 50"));
    EXPECT_TRUE(main.calls.isEmpty());
    platform.answers = {true};
    w.close(); // the close box asks the same
    EXPECT_EQ(platform.questions.size(), 2);
    EXPECT_TRUE(w.logic().Closed());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(main.calls, QStringList{"EnableMainWindow"});
    EXPECT_TRUE(book->Scores == before.Scores);
}

TEST_F(TestEditorWindowTest, TheCloseBoxActsAsCancel) {
    session.CautionAnswer = true;
    FormTestSpec& w = Show();
    w.close();
    EXPECT_FALSE(session.CautionAnswer);
    EXPECT_EQ(main.calls, QStringList{"EnableMainWindow"});
}

// Saves a picture of the window for a look at it (set KIRUNE_SCREENSHOT_DIR).
TEST_F(TestEditorWindowTest, Screenshot) {
    const QString dir = qEnvironmentVariable("KIRUNE_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "KIRUNE_SCREENSHOT_DIR not set";
    book->TestInfo[TestSlot(0, 0, 0, 0)][1] = u"漢字の書き取り"_s;
    for (int n = 4; n < 35; ++n)
        book->StudentNames[n] = u"生徒"_s + QString::number(n + 1);
    book->RosterSize = 35;
    Show();
    Type(QStringLiteral("85"));
    Press(Qt::Key_Tab);
    Type(QStringLiteral("90"));
    Press(Qt::Key_Tab);
    Type(QStringLiteral("70"));
    Press(Qt::Key_Return);
    Type(QStringLiteral("72"));
    Press(Qt::Key_Tab);
    Type(QStringLiteral("*"));
    Press(Qt::Key_Tab);
    Press(Qt::Key_Return);
    Type(QStringLiteral("63"));
    EXPECT_TRUE(window->grab().save(dir + QStringLiteral("/testeditor.png")));
}

} // namespace
TEST_F(TestEditorWindowTest, ScoreBoxesAndArrowsHaveNamesOfTheirOwn) {
    FormTestSpec& w = Show();
    EXPECT_EQ(test::AccessibleRole(&w), QAccessible::Dialog);
    const std::pair<const char*, const char16_t*> names[] = {
        {"scoreBox1", u"表現"},
        {"scoreBox2", u"理解"},
        {"scoreBox3", u"言語"},
        {"pointsBox1", u"表現の配点"},
        {"viewpointCheck1", u"表現を使う"},
        {"previousPupilButton", u"前の出席番号に"},
        {"nextPupilButton", u"次の出席番号に"},
        {"absentButton", u"欠席"},
        {"nameBox", u"試験の名称"},
    };
    for (const auto& [control, name] : names)
        EXPECT_EQ(test::AccessibleName(Control(control)), QString::fromUtf16(name)) << control;
}

} // namespace kirune
