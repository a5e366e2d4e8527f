// The homeroom editor: choosing pupils, typing names, transfer out, registration and cancel,
// first through its logic class, then through the window offscreen.
#include "editors/homeroom/formhomeroom.h"
#include "editors/homeroom/homeroomeditor.h"

#include "editors/common/gridview.h"
#include "editors/common/twips.h"
#include "model/numbers.h"
#include "support/fakeplatform.h"

#include "support/testutil.h"
#include "support/widgettest.h"
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

// Key presses and clicks delivered as the window system would (ignored keys go on to the parent).
void PressKey(QWidget* widget, int key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

using test::Click;

// Records what the editor asks of the main window.
struct FakeMainForm : MainFormHooks {
    void EnableMainWindow() override { calls << QStringLiteral("EnableMainWindow"); }
    void MSFlexGrid1_init() override { calls << QStringLiteral("MSFlexGrid1_init"); }
    void TreeView1_refresh() override { calls << QStringLiteral("TreeView1_refresh"); }
    QStringList calls;
};

class HomeRoomEditorTest : public ::testing::Test {
protected:
    HomeRoomEditorTest() {
        ResetGradeBook(book);
        book.HomeRoomYear = u"2003年（平成15年）"_s;
        book.HomeRoomGrade = u"4年"_s;
        book.HomeRoomClass = u"2組"_s;
        book.TeacherName = u"山田花子"_s;
    }
    void SetRoster(const std::vector<QString>& names) {
        for (std::size_t i = 0; i < names.size(); ++i)
            book.StudentNames[i] = names[i];
        book.RosterSize = static_cast<int16_t>(names.size());
    }
    // Types a name for attendance number n as the window would.
    static void TypeName(HomeRoomEditor& editor, int n, const QString& name) {
        editor.Combo2_Change(QString::number(n));
        editor.Text2_Change(name);
    }

    GradeBook book;
    Session session;
    test::FakePlatform platform;
    FakeMainForm mainForm;
};

TEST_F(HomeRoomEditorTest, LoadShowsTheClassAndTheTintedRoster) {
    SetRoster({u"青木一郎"_s, u"井上二郎"_s});
    HomeRoomEditor editor(book, session, platform, mainForm);
    editor.Form_Load();

    EXPECT_EQ(editor.combo1[0], book.HomeRoomYear);
    EXPECT_EQ(editor.combo1[1], u"4年"_s);
    EXPECT_EQ(editor.combo1[2], u"2組"_s);
    EXPECT_EQ(editor.text1, u"山田花子"_s);
    EXPECT_EQ(editor.combo2, QStringLiteral("1"));
    EXPECT_EQ(editor.text2, u"青木一郎"_s);
    EXPECT_EQ(session.CurrentStudentNo, 1);

    const Grid& grid = editor.grid;
    ASSERT_EQ(grid.Rows(), 41);
    ASSERT_EQ(grid.Cols(), 2);
    EXPECT_EQ(grid.RowString(0), u"No.|生徒氏名"_s);
    EXPECT_EQ(grid.RowString(1), u" 1|青木一郎"_s);
    EXPECT_EQ(grid.RowString(2), u" 2|井上二郎"_s);
    EXPECT_EQ(grid.RowString(40), QStringLiteral(" 40|"));
    EXPECT_EQ(grid.ColWidth(0), 400);
    EXPECT_EQ(grid.ColWidth(1), 3135 - 400);
    EXPECT_EQ(grid.CurrentRow(), 1);
    EXPECT_EQ(grid.CurrentCol(), 1);
    EXPECT_FALSE(grid.CellBackground(0, 1).has_value());
    for (int r = 1; r <= 40; ++r)
        for (int c = 0; c < 2; ++c)
            EXPECT_EQ(grid.CellBackground(r, c), qRgb(255, 255, 224)) << r << "," << c;
    EXPECT_FALSE(session.NeedsSave);
}

TEST_F(HomeRoomEditorTest, ListItems) {
    // The school year starts on 1 April: the five years before it, it, and the next, each with
    // its era.
    const std::pair<QDate, std::vector<const char16_t*>> yearLists[] = {
        {QDate(2026, 12, 7),
         {u"2021年（令和3年）", u"2022年（令和4年）", u"2023年（令和5年）", u"2024年（令和6年）",
          u"2025年（令和7年）", u"2026年（令和8年）", u"2027年（令和9年）"}},
        {QDate(2024, 3, 31),
         {u"2018年（平成30年）", u"2019年（令和元年）", u"2020年（令和2年）", u"2021年（令和3年）",
          u"2022年（令和4年）", u"2023年（令和5年）", u"2024年（令和6年）"}},
    };
    for (const auto& [today, expected] : yearLists) {
        QStringList texts;
        for (const char16_t* text : expected)
            texts << QString::fromUtf16(text);
        EXPECT_EQ(HomeRoomEditor::Combo1Items(0, today), texts) << today.toString().toStdString();
    }
    EXPECT_EQ(HomeRoomEditor::YearItem(1989), u"1989年（平成元年）"_s);
    const QDate today(2026, 12, 7);
    EXPECT_EQ(HomeRoomEditor::Combo1Items(1, today),
              QStringList({u"1年"_s, u"2年"_s, u"3年"_s, u"4年"_s, u"5年"_s, u"6年"_s}));
    const QStringList classes = HomeRoomEditor::Combo1Items(2, today);
    ASSERT_EQ(classes.size(), 9);
    EXPECT_EQ(classes.front(), u"1組"_s);
    EXPECT_EQ(classes.back(), u"9組"_s);
    const QStringList numbers = HomeRoomEditor::Combo2Items();
    ASSERT_EQ(numbers.size(), 40);
    EXPECT_EQ(numbers.front(), QStringLiteral("1"));
    EXPECT_EQ(numbers.back(), QStringLiteral("40"));
}

TEST_F(HomeRoomEditorTest, NotRegisteredYearIsEmptiedForGoodEvenOnCancel) {
    book.HomeRoomYear = u"未登録です"_s;
    HomeRoomEditor editor(book, session, platform, mainForm);
    editor.Form_Load();
    EXPECT_EQ(editor.combo1[0], QString());
    editor.Command2_Click();
    EXPECT_EQ(book.HomeRoomYear, QString());
}

TEST_F(HomeRoomEditorTest, NamesAtThreeAndSevenGiveRosterSizeSeven) {
    HomeRoomEditor editor(book, session, platform, mainForm);
    editor.Form_Load();
    TypeName(editor, 3, u"佐藤三郎"_s);
    TypeName(editor, 7, u"鈴木七海"_s);
    ASSERT_TRUE(editor.Command1_Click());

    EXPECT_EQ(book.RosterSize, 7);
    EXPECT_EQ(CountEnrolled(book), 2);
    EXPECT_EQ(book.StudentNames[2], u"佐藤三郎"_s);
    EXPECT_EQ(book.StudentNames[6], u"鈴木七海"_s);
    for (int n : {1, 2, 4, 5, 6})
        EXPECT_TRUE(book.StudentNames[n - 1].isEmpty()) << n;
    EXPECT_EQ(mainForm.calls, QStringList({QStringLiteral("EnableMainWindow"),
                                           QStringLiteral("MSFlexGrid1_init")}));
    EXPECT_TRUE(session.NeedsSave);
    EXPECT_TRUE(editor.Closed());
}

TEST_F(HomeRoomEditorTest, RegisteringStoresTheBoxes) {
    HomeRoomEditor editor(book, session, platform, mainForm);
    bool closed = false;
    editor.closeWindow = [&closed] { closed = true; };
    editor.Form_Load();
    editor.Combo1_Change(0, u"2005年（平成17年）"_s);
    editor.Combo1_Change(1, u"6年"_s);
    editor.Combo1_Change(2, u"3組"_s);
    editor.Text1_Change(u"田中先生"_s);
    TypeName(editor, 1, u"相田"_s);
    ASSERT_TRUE(editor.Command1_Click());
    EXPECT_EQ(book.HomeRoomYear, u"2005年（平成17年）"_s);
    EXPECT_EQ(book.HomeRoomGrade, u"6年"_s);
    EXPECT_EQ(book.HomeRoomClass, u"3組"_s);
    EXPECT_EQ(book.TeacherName, u"田中先生"_s);
    EXPECT_TRUE(closed);
}

TEST_F(HomeRoomEditorTest, AllNamesEmptyGiveNoRosterAndNoDefaultCriteria) {
    SetRoster({u"青木"_s, u"井上"_s});
    HomeRoomEditor editor(book, session, platform, mainForm);
    editor.Form_Load();
    TypeName(editor, 1, QString());
    TypeName(editor, 2, QString());
    ASSERT_TRUE(editor.Command1_Click());
    EXPECT_EQ(book.RosterSize, 0);
    EXPECT_EQ(CountEnrolled(book), 0);
    for (int p = 0; p < kCriteriaPeriods; ++p)
        for (int c = 0; c < kCriteriaColumns; ++c) {
            EXPECT_EQ(book.RankAPercent[p][c], -1);
            EXPECT_EQ(book.RankCPercent[p][c], -1);
        }
}

TEST_F(HomeRoomEditorTest, DefaultCriteriaFillOnlyUnsetEntries) {
    book.RankAPercent[0][0] = 30;
    book.RankCPercent[3][17] = 10;
    book.RankAPercent[4][0] = -1; // outside the criteria table: never touched
    HomeRoomEditor editor(book, session, platform, mainForm);
    editor.Form_Load();
    TypeName(editor, 1, u"相田"_s);
    ASSERT_TRUE(editor.Command1_Click());
    EXPECT_EQ(book.RankAPercent[0][0], 30);
    EXPECT_EQ(book.RankCPercent[0][0], 40);
    EXPECT_EQ(book.RankAPercent[3][17], 20);
    EXPECT_EQ(book.RankCPercent[3][17], 10);
    EXPECT_EQ(book.RankAPercent[2][9], 20);
    EXPECT_EQ(book.RankCPercent[1][5], 40);
    EXPECT_EQ(book.RankAPercent[4][0], -1);
    EXPECT_EQ(book.RankAPercent[0][18], 0);
}

TEST_F(HomeRoomEditorTest, TypingShowsInTheGridAndCancelStoresNothing) {
    SetRoster({u"青木"_s, u"井上"_s});
    HomeRoomEditor editor(book, session, platform, mainForm);
    editor.Form_Load();
    editor.Command3_Click(); // number 2
    editor.Text2_Change(u"井"_s);
    EXPECT_EQ(editor.grid.Text(2, 1), u"井"_s);
    editor.Text2_Change(u"井上三郎"_s);
    EXPECT_EQ(editor.grid.Text(2, 1), u"井上三郎"_s);
    editor.Combo1_Change(1, u"5年"_s);
    platform.answers = {true}; // throw away what was typed
    editor.Command2_Click();

    EXPECT_EQ(book.StudentNames[1], u"井上"_s);
    EXPECT_EQ(book.HomeRoomGrade, u"4年"_s);
    EXPECT_EQ(book.RosterSize, 2);
    EXPECT_FALSE(session.NeedsSave);
    EXPECT_EQ(mainForm.calls, QStringList({QStringLiteral("EnableMainWindow")}));
    EXPECT_TRUE(editor.Closed());
}

TEST_F(HomeRoomEditorTest, NextStopsAtFortyAndPreviousAtOne) {
    book.StudentNames[39] = u"和田"_s;
    book.RosterSize = 40;
    HomeRoomEditor editor(book, session, platform, mainForm);
    int focused = 0;
    editor.focusText2 = [&focused] { ++focused; };
    editor.Form_Load();

    editor.Command4_Click();
    EXPECT_EQ(session.CurrentStudentNo, 1);
    EXPECT_EQ(editor.combo2, QStringLiteral(" 1"));
    EXPECT_EQ(focused, 1);

    editor.Combo2_Change(QStringLiteral("39"));
    EXPECT_EQ(editor.text2, QString());
    editor.Command3_Click();
    EXPECT_EQ(session.CurrentStudentNo, 40);
    EXPECT_EQ(editor.combo2, QStringLiteral(" 40"));
    EXPECT_EQ(editor.text2, u"和田"_s);
    editor.Text2_Change(u"和田x"_s); // Text2 shows the grid cell again after next
    editor.Command3_Click();
    EXPECT_EQ(session.CurrentStudentNo, 40);
    EXPECT_EQ(editor.text2, u"和田x"_s);
    EXPECT_EQ(editor.grid.CurrentRow(), 40);
    EXPECT_EQ(focused, 3);
}

TEST_F(HomeRoomEditorTest, ArrowKeysMoveBetweenPupils) {
    HomeRoomEditor editor(book, session, platform, mainForm);
    editor.Form_Load();
    EXPECT_TRUE(editor.Text2_KeyDown(Qt::Key_Down));
    EXPECT_TRUE(editor.Text2_KeyDown(Qt::Key_Right));
    EXPECT_EQ(session.CurrentStudentNo, 3);
    EXPECT_TRUE(editor.Text2_KeyDown(Qt::Key_Up));
    EXPECT_EQ(session.CurrentStudentNo, 2);
    EXPECT_TRUE(editor.Text2_KeyDown(Qt::Key_Left));
    EXPECT_EQ(session.CurrentStudentNo, 1);
    EXPECT_FALSE(editor.Text2_KeyDown(Qt::Key_A));
    EXPECT_EQ(session.CurrentStudentNo, 1);
}

TEST_F(HomeRoomEditorTest, Combo2OutsideTheRosterLeavesThePupil) {
    SetRoster({u"青木"_s, u"井上"_s, u"上田"_s});
    HomeRoomEditor editor(book, session, platform, mainForm);
    editor.Form_Load();
    editor.Combo2_Change(QStringLiteral("3"));
    ASSERT_EQ(session.CurrentStudentNo, 3);
    for (const char* text : {"0", "", "abc", "41", "-2", "99999", "1e9", "40.6"}) {
        editor.Combo2_Change(QString::fromLatin1(text));
        EXPECT_EQ(session.CurrentStudentNo, 3) << text;
        EXPECT_EQ(editor.grid.CurrentRow(), 3) << text;
    }
    // Typing goes on into the pupil that is still current.
    editor.Text2_Change(u"上田三"_s);
    EXPECT_EQ(editor.grid.Text(3, 1), u"上田三"_s);
    EXPECT_EQ(editor.grid.Text(0, 1), u"生徒氏名"_s);
    // The number is read as its leading number, halves to even.
    editor.Combo2_Click(QStringLiteral(" 2.5番"));
    EXPECT_EQ(session.CurrentStudentNo, 2);
    EXPECT_EQ(editor.text2, u"井上"_s);
    editor.Combo2_Change(QStringLiteral("39.5"));
    EXPECT_EQ(session.CurrentStudentNo, 40);

    // Leaving the box with a number that chose nobody shows the current number again.
    editor.Combo2_Change(QStringLiteral("41"));
    editor.Combo2_LostFocus();
    EXPECT_EQ(editor.combo2, QStringLiteral(" 40"));
    editor.Combo2_Change(QStringLiteral("7"));
    editor.Combo2_LostFocus();
    EXPECT_EQ(editor.combo2, QStringLiteral("7"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(HomeRoomEditorTest, GridClickSelectsOnlyInTheNameColumn) {
    SetRoster({u"青木"_s, u"井上"_s, u"上田"_s, u"江藤"_s});
    HomeRoomEditor editor(book, session, platform, mainForm);
    int focused = 0;
    editor.focusText2 = [&focused] { ++focused; };
    editor.Form_Load();
    editor.MSFlexGrid1_Click(4, 0);
    EXPECT_EQ(session.CurrentStudentNo, 1);
    EXPECT_EQ(focused, 0);
    editor.MSFlexGrid1_Click(4, 1);
    EXPECT_EQ(session.CurrentStudentNo, 4);
    EXPECT_EQ(editor.combo2, QStringLiteral(" 4"));
    EXPECT_EQ(editor.text2, u"江藤"_s);
    EXPECT_EQ(focused, 1);
    editor.MSFlexGrid1_Click(0, 1); // the header row is no pupil
    EXPECT_EQ(session.CurrentStudentNo, 4);
}

TEST_F(HomeRoomEditorTest, TransferOutIsWrittenAtOnceAndSurvivesCancel) {
    SetRoster({u"青木"_s, u"井上"_s, u"上田"_s});
    const int someSlots[] = {0, 263, 815};
    for (int slot : someSlots) {
        book.Scores[slot][2] = 77.5f;
        book.Scores[slot][1] = 60.0f;
        book.Scores[slot][kAverageColumn] = 70.0f;
    }
    book.Scores[816][2] = 5.0f; // never used: left alone
    book.Comments[2] = {u"一"_s, QString(), u"三"_s, u"年"_s};
    book.Comments[1][0] = u"残る"_s;
    HomeRoomEditor editor(book, session, platform, mainForm);
    editor.Form_Load();
    editor.Combo2_Change(QStringLiteral("3"));
    platform.choiceAnswers = {kAnswerYes};
    editor.Command5_Click();

    // The question names the pupil, says what goes and how it comes back.
    EXPECT_EQ(platform.questions,
              QStringList({u"出席番号 3 上田 を転出させると、名前とすべての得点と所見が消去されます"
                           u"（編集メニューの[元に戻す]で元に戻せます）。転出させますか？"
                           u"（注意：転出以前に登録した試験の平均点は変わりません）"_s}));
    EXPECT_EQ(editor.grid.Text(3, 1), QString());
    EXPECT_EQ(editor.text2, u"上田"_s); // Text2 keeps its text
    EXPECT_EQ(book.StudentNames[2], QString());
    for (int slot : someSlots) {
        EXPECT_EQ(book.Scores[slot][2], kNoData) << slot;
        EXPECT_EQ(book.Scores[slot][1], 60.0f) << slot;
        EXPECT_EQ(book.Scores[slot][kAverageColumn], 70.0f) << slot;
    }
    EXPECT_EQ(book.Scores[816][2], 5.0f);
    EXPECT_EQ(book.Comments[2], (std::array<QString, kCommentPeriods>{}));
    EXPECT_EQ(book.Comments[1][0], u"残る"_s);
    EXPECT_EQ(book.RosterSize, 3);
    EXPECT_TRUE(session.NeedsSave);

    editor.Command2_Click();
    EXPECT_EQ(book.StudentNames[2], QString());
    EXPECT_EQ(book.Scores[0][2], kNoData);
    EXPECT_EQ(book.RosterSize, 3);
    EXPECT_TRUE(session.NeedsSave);
}

TEST_F(HomeRoomEditorTest, TransferOutAnsweredByItsDefaultChangesNothing) {
    SetRoster({u"青木"_s});
    book.Scores[10][0] = 50.0f;
    HomeRoomEditor editor(book, session, platform, mainForm);
    editor.Form_Load();
    editor.Command5_Click(); // Enter: the default answer
    EXPECT_EQ(platform.choiceLists, QStringList{u"はい(&Y)|いいえ(&N)"_s});
    EXPECT_EQ(book.StudentNames[0], u"青木"_s);
    EXPECT_EQ(editor.grid.Text(1, 1), u"青木"_s);
    EXPECT_EQ(book.Scores[10][0], 50.0f);
    EXPECT_FALSE(session.NeedsSave);
}

TEST_F(HomeRoomEditorTest, SemicolonOrLineBreakIsRefusedAndNothingStored) {
    SetRoster({u"青木"_s});
    HomeRoomEditor editor(book, session, platform, mainForm);
    std::vector<HomeRoomEditor::Field> focused;
    editor.focusField = [&focused](HomeRoomEditor::Field f) { focused.push_back(f); };
    editor.Form_Load();
    TypeName(editor, 5, u"新入"_s);
    TypeName(editor, 3, u"佐藤;三郎"_s);
    editor.Combo2_Change(QStringLiteral("1"));

    EXPECT_FALSE(editor.Command1_Click());
    EXPECT_EQ(platform.messages, QStringList({u"出席番号 3 の氏名に「;」や改行は使えません。"_s}));
    EXPECT_EQ(session.CurrentStudentNo, 3); // brought up for correction
    EXPECT_EQ(editor.text2, u"佐藤;三郎"_s);
    ASSERT_EQ(focused.size(), 1u);
    EXPECT_EQ(focused[0], HomeRoomEditor::Field::PupilName);
    EXPECT_EQ(book.RosterSize, 1);
    EXPECT_EQ(book.StudentNames[4], QString());
    EXPECT_FALSE(editor.Closed());
    EXPECT_TRUE(mainForm.calls.isEmpty());
    EXPECT_FALSE(session.NeedsSave);

    // Each box is named in its message.
    editor.Text2_Change(u"佐藤三郎"_s);
    const struct {
        int box; // 0..2 Combo1, 3 Text1
        QString text;
        QString message;
        HomeRoomEditor::Field field;
    } cases[] = {
        {0, u"2004\t"_s, u"年度に制御文字は使えません。"_s, HomeRoomEditor::Field::Year},
        {1, u"4\n年"_s, u"学年に「;」や改行は使えません。"_s, HomeRoomEditor::Field::Grade},
        {2, u"2組\r"_s, u"学級に「;」や改行は使えません。"_s, HomeRoomEditor::Field::Class},
        {3, u"山田😀"_s, u"担任の氏名に「😀」（Shift-JIS にない文字）は使えません。"_s,
         HomeRoomEditor::Field::Teacher},
    };
    for (const auto& c : cases) {
        platform.messages.clear();
        focused.clear();
        const QString before = c.box == 3 ? editor.text1 : editor.combo1[c.box];
        if (c.box == 3)
            editor.Text1_Change(c.text);
        else
            editor.Combo1_Change(c.box, c.text);
        EXPECT_FALSE(editor.Command1_Click());
        EXPECT_EQ(platform.messages, QStringList({c.message}));
        ASSERT_EQ(focused.size(), 1u);
        EXPECT_EQ(focused[0], c.field);
        if (c.box == 3)
            editor.Text1_Change(before);
        else
            editor.Combo1_Change(c.box, before);
    }
    EXPECT_EQ(book.HomeRoomGrade, u"4年"_s);
    EXPECT_EQ(book.TeacherName, u"山田花子"_s);

    // Once corrected, registration goes through.
    platform.messages.clear();
    EXPECT_TRUE(editor.Command1_Click());
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(book.StudentNames[2], u"佐藤三郎"_s);
    EXPECT_EQ(book.RosterSize, 5);
}

TEST_F(HomeRoomEditorTest, ClosingTwiceEnablesTheMainWindowOnce) {
    HomeRoomEditor editor(book, session, platform, mainForm);
    editor.Form_Load();
    editor.Command2_Click();
    editor.Form_Unload();
    EXPECT_FALSE(editor.Command1_Click());
    EXPECT_EQ(mainForm.calls, QStringList({QStringLiteral("EnableMainWindow")}));
}

// --- The window, offscreen ------------------------------------------------------------------

class FormHomeRoomTest : public HomeRoomEditorTest {
protected:
    template <typename T> T* Find(QWidget* form, const char* name) {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
};

TEST_F(FormHomeRoomTest, ControlsCarryTheirNamesCaptionsAndItems) {
    FormHomeRoom form(book, session, platform, mainForm);
    EXPECT_EQ(form.windowTitle(), u"学級の編集"_s);
    EXPECT_EQ(form.size(), QSize(TwipsToPixels(8460), TwipsToPixels(6900)));

    const std::pair<const char*, const char16_t*> labels[] = {
        {"Label1", u"年度"},
        {"Label2", u"学年"},
        {"Label3", u"学級"},
        {"Label4", u"担任の氏名"},
        {"Label5", u"出席番号"},
        {"Label6", u"生徒の氏名"},
        {"Label7", u"次の出席番号に(&N)"},
        {"Label8", u"前の出席番号に(&B)"},
        {"Label9", u"[Enter]"},
    };
    for (const auto& [name, caption] : labels) {
        if (auto* label = Find<QLabel>(&form, name)) {
            EXPECT_EQ(label->text(), QString::fromUtf16(caption)) << name;
        }
    }
    auto* frame = Find<QGroupBox>(&form, "Frame1");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), u"名簿を作成"_s);
    EXPECT_EQ(frame->geometry(), TwipsRectToPixels(120, 2160, 3615, 4215));
    for (const char* name : {"Combo2", "Text2", "Command3", "Command4", "Command5", "Label9"})
        EXPECT_EQ(form.findChild<QWidget*>(QString::fromLatin1(name))->parentWidget(), frame)
            << name;

    auto* combo1 = Find<QComboBox>(&form, "Combo1_0");
    ASSERT_NE(combo1, nullptr);
    EXPECT_TRUE(combo1->isEditable());
    EXPECT_EQ(combo1->count(), 7);
    EXPECT_EQ(combo1->itemText(6), u"2027年（令和9年）"_s); // the platform's today: 2026-12-07
    // The year box shows its longest year whole: it grows to the left, its right edge stays.
    EXPECT_EQ(combo1->y(), TwipsToPixels(120));
    EXPECT_EQ(combo1->geometry().right(), TwipsRectToPixels(1800, 120, 1935, 300).right());
    EXPECT_GE(combo1->width(), combo1->sizeHint().width());
    EXPECT_EQ(Find<QComboBox>(&form, "Combo1_1")->count(), 6);
    EXPECT_EQ(Find<QComboBox>(&form, "Combo1_2")->count(), 9);
    EXPECT_EQ(Find<QComboBox>(&form, "Combo2")->count(), 40);

    EXPECT_EQ(Find<QPushButton>(&form, "Command1")->text(), u"登録(&R)"_s);
    EXPECT_EQ(Find<QPushButton>(&form, "Command2")->text(), u"ｷｬﾝｾﾙ(&C)"_s);
    EXPECT_EQ(Find<QPushButton>(&form, "Command5")->text(), u"転出(&T)"_s);
    EXPECT_EQ(Find<QPushButton>(&form, "Command1")->geometry(),
              TwipsRectToPixels(7200, 240, 1095, 495));
    auto* next = Find<QPushButton>(&form, "Command3");
    EXPECT_TRUE(next->isDefault());
    EXPECT_FALSE(next->icon().isNull());
    EXPECT_FALSE(Find<QPushButton>(&form, "Command4")->icon().isNull());
    EXPECT_FALSE(Find<QLabel>(&form, "Picture1")->pixmap().isNull());

    auto* grid = Find<GridView>(&form, "MSFlexGrid1");
    EXPECT_EQ(grid->geometry(), TwipsRectToPixels(3960, 120, 3135, 6735));
    EXPECT_EQ(grid->grid(), &form.logic().grid);

    for (const char* name : {"Text1", "Text2"}) {
        auto* box = Find<QLineEdit>(&form, name);
        EXPECT_TRUE(box->testAttribute(Qt::WA_InputMethodEnabled)) << name;
    }
}

TEST_F(FormHomeRoomTest, TypingInText2ShowsInTheGridAtOnce) {
    SetRoster({u"青木"_s});
    FormHomeRoom form(book, session, platform, mainForm);
    form.show();
    auto* text2 = Find<QLineEdit>(&form, "Text2");
    auto* grid = Find<GridView>(&form, "MSFlexGrid1");
    ASSERT_EQ(text2->text(), u"青木"_s);
    text2->setFocus();
    text2->end(false);
    PressKey(text2, Qt::Key_unknown, u"太"_s);
    EXPECT_EQ(text2->text(), u"青木太"_s);
    EXPECT_EQ(form.logic().grid.Text(1, 1), u"青木太"_s);
    EXPECT_EQ(grid->cellText(1, 1), u"青木太"_s);
    EXPECT_EQ(book.StudentNames[0], u"青木"_s);
}

TEST_F(FormHomeRoomTest, ButtonsKeysAndGridFollowTheLogic) {
    SetRoster({u"青木"_s, u"井上"_s, u"上田"_s});
    FormHomeRoom form(book, session, platform, mainForm);
    form.show();
    auto* text2 = Find<QLineEdit>(&form, "Text2");
    auto* combo2 = Find<QComboBox>(&form, "Combo2");
    auto* grid = Find<GridView>(&form, "MSFlexGrid1");

    Click(Find<QPushButton>(&form, "Command3"));
    EXPECT_EQ(session.CurrentStudentNo, 2);
    EXPECT_EQ(combo2->currentText(), QStringLiteral(" 2"));
    EXPECT_EQ(text2->text(), u"井上"_s);
    EXPECT_EQ(grid->currentRow(), 2);
    EXPECT_EQ(grid->currentCol(), 1);

    PressKey(text2, Qt::Key_Down);
    EXPECT_EQ(session.CurrentStudentNo, 3);
    EXPECT_EQ(text2->text(), u"上田"_s);
    PressKey(text2, Qt::Key_Left);
    EXPECT_EQ(session.CurrentStudentNo, 2);

    // Enter in a box presses the default button (next).
    PressKey(text2, Qt::Key_Return);
    EXPECT_EQ(session.CurrentStudentNo, 3);

    combo2->setEditText(QStringLiteral("1"));
    EXPECT_EQ(session.CurrentStudentNo, 1);
    EXPECT_EQ(text2->text(), u"青木"_s);
    combo2->setEditText(QStringLiteral("0"));
    emit combo2->lineEdit()->editingFinished();
    EXPECT_EQ(combo2->currentText(), QStringLiteral(" 1"));
    EXPECT_EQ(session.CurrentStudentNo, 1);

    const QRect cell = grid->cellRect(2, 1);
    Click(grid->viewport(), cell.center());
    EXPECT_EQ(session.CurrentStudentNo, 2);
    EXPECT_EQ(combo2->currentText(), QStringLiteral(" 2"));
    EXPECT_EQ(text2->text(), u"井上"_s);
}

TEST_F(FormHomeRoomTest, EnterInABoxGoesToTheNextPupilAndAddsNoListItem) {
    FormHomeRoom form(book, session, platform, mainForm);
    form.show();
    auto* combo2 = Find<QComboBox>(&form, "Combo2");
    combo2->setFocus();
    PressKey(combo2, Qt::Key_Return);
    EXPECT_EQ(session.CurrentStudentNo, 2);
    auto* year = Find<QComboBox>(&form, "Combo1_0");
    year->setEditText(u"2010年"_s);
    year->setFocus();
    PressKey(year, Qt::Key_Return);
    EXPECT_EQ(session.CurrentStudentNo, 3);
    EXPECT_EQ(year->count(), 7);
    EXPECT_EQ(form.logic().combo1[0], u"2010年"_s);
}

TEST_F(FormHomeRoomTest, TheNameColumnFitsBesideTheScrollBar) {
    FormHomeRoom form(book, session, platform, mainForm);
    form.show();
    auto* grid = Find<GridView>(&form, "MSFlexGrid1");
    EXPECT_EQ(grid->columnWidth(0), TwipsToPixels(400));
    EXPECT_LE(grid->columnWidth(0) + grid->columnWidth(1), grid->viewport()->width());
    EXPECT_EQ(grid->horizontalScrollBar()->maximum(), 0);
    // Only the display is fitted: the roster's grid keeps its widths in twips.
    EXPECT_EQ(form.logic().grid.ColWidth(1), 3135 - 400);
}

TEST_F(FormHomeRoomTest, ThePupilChosenIsScrolledIntoViewBelowTheHeaderRow) {
    SetRoster({u"青木"_s, u"井上"_s});
    book.StudentNames[39] = u"和田"_s;
    book.RosterSize = 40;
    FormHomeRoom form(book, session, platform, mainForm);
    form.show();
    auto* grid = Find<GridView>(&form, "MSFlexGrid1");
    ASSERT_GT(grid->verticalScrollBar()->maximum(), 0); // 41 rows do not fit
    const QRect header = grid->cellRect(0, 1);
    const QRect number = grid->cellRect(2, 0);

    Find<QComboBox>(&form, "Combo2")->setEditText(QStringLiteral("40"));
    EXPECT_EQ(session.CurrentStudentNo, 40);
    EXPECT_EQ(grid->currentRow(), 40);
    EXPECT_GT(grid->verticalScrollBar()->value(), 0);
    const QRect last = grid->cellRect(40, 1);
    EXPECT_GE(last.top(), grid->rowHeight(0));
    EXPECT_LE(last.bottom(), grid->viewport()->height());
    // The header row and the number column stay where they were.
    EXPECT_EQ(grid->cellRect(0, 1), header);
    EXPECT_EQ(grid->cellRect(40, 0).left(), number.left());
    EXPECT_EQ(grid->cellRect(40, 0).top(), last.top());

    // A click on a scrolled row chooses that pupil; one on the header row chooses nobody.
    Find<QComboBox>(&form, "Combo2")->setEditText(QStringLiteral("39"));
    Click(grid->viewport(), grid->cellRect(40, 1).center());
    EXPECT_EQ(session.CurrentStudentNo, 40);
    EXPECT_EQ(Find<QLineEdit>(&form, "Text2")->text(), u"和田"_s);
    Click(grid->viewport(), grid->cellRect(0, 1).center());
    EXPECT_EQ(session.CurrentStudentNo, 40);
}

// Saves a picture of the window for a look at it (set KIRUNE_SCREENSHOT_DIR).
TEST_F(FormHomeRoomTest, Screenshot) {
    const QString dir = qEnvironmentVariable("KIRUNE_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "KIRUNE_SCREENSHOT_DIR not set";
    const char16_t* family[] = {u"青木", u"井上", u"上田", u"江藤", u"小川", u"加藤", u"木村",
                                u"工藤", u"小林", u"佐藤", u"清水", u"鈴木", u"高橋", u"田中",
                                u"土屋", u"中村", u"西田", u"野口", u"橋本", u"林",   u"藤田",
                                u"松本", u"宮崎", u"村上", u"森",   u"山口", u"山本", u"吉田",
                                u"渡辺", u"和田", u"石井", u"今井", u"岡田"};
    std::vector<QString> names;
    for (const char16_t* name : family)
        names.push_back(QString::fromUtf16(name) + u"　"_s + QString::number(names.size() + 1));
    SetRoster(names);
    FormHomeRoom form(book, session, platform, mainForm);
    form.show();
    Find<QComboBox>(&form, "Combo2")->setEditText(QStringLiteral("30"));
    QApplication::processEvents();
    EXPECT_TRUE(form.grab().save(dir + QStringLiteral("/homeroom.png")));
}

TEST_F(FormHomeRoomTest, EscapeCancels) {
    auto* form = new FormHomeRoom(book, session, platform, mainForm);
    form->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<FormHomeRoom> alive(form);
    form->show();
    auto* text1 = Find<QLineEdit>(form, "Text1");
    text1->setText(u"別の先生"_s);
    platform.answers = {true}; // throw away what was typed
    PressKey(text1, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(mainForm.calls, QStringList({QStringLiteral("EnableMainWindow")}));
    EXPECT_EQ(book.TeacherName, u"山田花子"_s);
}

TEST_F(FormHomeRoomTest, CloseBoxActsAsCancel) {
    SetRoster({u"青木"_s});
    auto* form = new FormHomeRoom(book, session, platform, mainForm);
    form->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<FormHomeRoom> alive(form);
    form->show();
    Find<QLineEdit>(form, "Text2")->setText(u"別人"_s);
    platform.answers = {true}; // throw away what was typed
    EXPECT_TRUE(form->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(mainForm.calls, QStringList({QStringLiteral("EnableMainWindow")}));
    EXPECT_EQ(book.StudentNames[0], u"青木"_s);
    EXPECT_FALSE(session.NeedsSave);
}

TEST_F(FormHomeRoomTest, RegisterButtonStoresAndClosesOnce) {
    auto* form = new FormHomeRoom(book, session, platform, mainForm);
    form->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<FormHomeRoom> alive(form);
    form->show();
    Find<QLineEdit>(form, "Text2")->setText(u"相田"_s);
    Find<QComboBox>(form, "Combo1_1")->setEditText(u"1年"_s);
    Click(Find<QPushButton>(form, "Command1"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(book.StudentNames[0], u"相田"_s);
    EXPECT_EQ(book.HomeRoomGrade, u"1年"_s);
    EXPECT_EQ(book.RosterSize, 1);
    EXPECT_EQ(mainForm.calls, QStringList({QStringLiteral("EnableMainWindow"),
                                           QStringLiteral("MSFlexGrid1_init")}));
}

TEST_F(FormHomeRoomTest, RefusedRegistrationKeepsTheWindowOpen) {
    FormHomeRoom form(book, session, platform, mainForm);
    form.show();
    Find<QLineEdit>(&form, "Text1")->setText(u"山田😀"_s);
    Click(Find<QPushButton>(&form, "Command1"));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(platform.messages,
              QStringList({u"担任の氏名に「😀」（Shift-JIS にない文字）は使えません。"_s}));
    EXPECT_EQ(book.TeacherName, u"山田花子"_s);
    EXPECT_TRUE(mainForm.calls.isEmpty());
}

} // namespace
TEST_F(FormHomeRoomTest, EveryControlHasANameAndTheWindowIsADialog) {
    FormHomeRoom form(book, session, platform, mainForm);
    EXPECT_EQ(test::AccessibleRole(&form), QAccessible::Dialog);
    const std::pair<const char*, const char16_t*> names[] = {
        {"Combo1_0", u"年度"},     {"Combo1_1", u"学年"},           {"Combo1_2", u"学級"},
        {"Text1", u"担任の氏名"},  {"Combo2", u"出席番号"},         {"Text2", u"生徒の氏名"},
        {"MSFlexGrid1", u"名簿"},  {"Command4", u"前の出席番号に"}, {"Command3", u"次の出席番号に"},
        {"Command5", u"転出"},     {"Command1", u"登録"},           {"Command2", u"ｷｬﾝｾﾙ"},
        {"Picture1", u"学校の絵"},
    };
    for (const auto& [control, name] : names)
        EXPECT_EQ(test::AccessibleName(form.findChild<QWidget*>(QLatin1String(control))),
                  QString::fromUtf16(name))
            << control;
    // The label's access key presses its picture button (shown pressed, then clicked).
    form.show();
    QApplication::setActiveWindow(&form);
    QTest::keyClick(&form, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(form.findChild<QPushButton*>(QStringLiteral("Command3"))->isDown());
}

} // namespace kirune
