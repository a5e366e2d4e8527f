// The two criteria editors: the live update of the share boxes with its graphs, the refusals of
// registration in their order, what registration stores (rounded halves to even), renaming with
// the growth of the name lists, cancelling, printing from the stored shares, and the windows.
#include "editors/criteria/criteriawidgets.h"
#include "editors/criteria/formsemesterspec.h"
#include "editors/criteria/formsubjectspec.h"
#include "editors/criteria/semesterspeceditor.h"
#include "editors/criteria/subjectspeceditor.h"

#include "output/recordingcanvas.h"
#include "support/fakeplatform.h"

#include "support/testutil.h"
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace kirune;

namespace {

// The first viewpoint's pair over 100 (the fixture's subject is 国語, its first viewpoint 表現),
// and a share beyond any percentage.
const QString kSumOver100 = u"観点「表現」の A と C の割合の和が 100 を超えています。"_s;
const QString kShareRange = u"割合は 0 から 100 までの数で入力してください。"_s;
const QString kOver100 = u"100%を超えています"_s;
const QString kOverlap = u"観点の項目が重なっています"_s;
const QString kTaken = u"その教科は登録済みです"_s;

struct FakeMain : MainFormHooks {
    void EnableMainWindow() override { ++enabled; }
    void MSFlexGrid1_init() override {}
    void TreeView1_refresh() override {}
    int enabled = 0;
};

// Everything an editor needs, with a class of three pupils whose totals are 12, 30 and 45 of
// 50 in every aggregate of 国語.
class CriteriaTest : public ::testing::Test {
protected:
    CriteriaTest() {
        ResetGradeBook(book);
        book.RosterSize = 3;
        for (int n = 0; n < 3; ++n)
            book.StudentNames[n] = QStringLiteral("pupil%1").arg(n + 1);
        for (int k = 0; k < 3; ++k) {
            for (int p = 0; p < 3; ++p)
                SetTotals(SemesterAggregateSlot(p, 0, k));
            SetTotals(YearAggregateSlot(0, k));
        }
        session.CurrentSubject = 0;
        session.CurrentSemester = 0;
    }
    void SetTotals(int slot) {
        book.Scores[slot][0] = 12;
        book.Scores[slot][1] = 30;
        book.Scores[slot][2] = 45;
        book.Scores[slot][kPointsColumn] = 50;
        book.Scores[slot][kAverageColumn] = 29;
    }
    void Attach(CriteriaEditor& editor) {
        editor.paint = [this](const std::function<void(Canvas&)>& draw) { draw(canvas); };
        editor.clearLayer = [this] {
            ++clears;
            canvas.ops.clear();
        };
        editor.closeWindow = [this] { ++closed; };
    }
    // The boxes of the graph drawn last, and where its heading went.
    std::vector<CanvasOp> LastGraphBoxes(const CanvasOp** heading = nullptr) const {
        int start = -1;
        for (int i = 0; i < static_cast<int>(canvas.ops.size()); ++i)
            if (canvas.ops[i].kind == CanvasOp::Text &&
                canvas.ops[i].text.contains(u"集計グラフ"_s))
                start = i;
        std::vector<CanvasOp> boxes;
        if (start < 0)
            return boxes;
        if (heading)
            *heading = &canvas.ops[start];
        for (std::size_t i = start; i < canvas.ops.size(); ++i)
            if (canvas.ops[i].kind == CanvasOp::Box)
                boxes.push_back(canvas.ops[i]);
        return boxes;
    }
    int GraphsDrawn() const {
        int count = 0;
        for (const auto& op : canvas.Texts())
            if (op.text.contains(u"集計グラフ"_s))
                ++count;
        return count;
    }
    std::vector<QRgb> Colours(const std::vector<CanvasOp>& boxes) const {
        std::vector<QRgb> out;
        for (const auto& box : boxes)
            out.push_back(box.fill);
        return out;
    }
    int16_t& A(int period, int k) { return book.RankAPercent[period][CriteriaIndex(0, k)]; }
    int16_t& C(int period, int k) { return book.RankCPercent[period][CriteriaIndex(0, k)]; }

    GradeBook book;
    Session session;
    test::FakePlatform platform;
    FakeMain main;
    RecordingCanvas canvas{false};
    int clears = 0;
    int closed = 0;
};

// ---------------------------------------------------------------------------------------------
// The semester editor

TEST_F(CriteriaTest, SemesterActivationFillsTheBoxesAndDrawsTheStoredGraphs) {
    session.CurrentSemester = 1;
    A(1, 0) = 20;
    C(1, 0) = 40;
    SemesterSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Activate();
    EXPECT_EQ(clears, 1);
    EXPECT_EQ(editor.title, u"国語の二学期の評定基準の作成"_s);
    EXPECT_EQ(editor.frames[0].caption, u"表現の評定基準"_s);
    EXPECT_EQ(editor.frames[2].caption, u"言語の評定基準"_s);
    EXPECT_EQ(editor.frames[0].aText, QStringLiteral(" 20"));
    EXPECT_EQ(editor.frames[0].cText, QStringLiteral(" 40"));
    EXPECT_EQ(editor.frames[0].bLabel, QStringLiteral(" 40"));
    EXPECT_EQ(editor.frames[1].aText, QStringLiteral("-1"));
    EXPECT_EQ(editor.frames[1].cText, QStringLiteral("-1"));
    EXPECT_EQ(editor.frames[1].bLabel, QStringLiteral(" 102"));
    // Six change events draw a graph each, then the three stored graphs.
    EXPECT_EQ(GraphsDrawn(), 9);
    const CanvasOp* heading = nullptr;
    const auto boxes = LastGraphBoxes(&heading);
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->x1, 3975 + 800);
    EXPECT_EQ(heading->y1, 5280 + 300); // viewpoint 2 last
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(CriteriaTest, SemesterGraphsStandAtTheirOrigins) {
    A(0, 0) = 20;
    C(0, 0) = 40;
    SemesterSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Activate();
    canvas.ops.clear();
    editor.DrawStoredGraphs();
    std::vector<double> tops;
    for (const auto& op : canvas.Texts())
        if (op.text.contains(u"集計グラフ"_s))
            tops.push_back(op.y1 - 300);
    EXPECT_EQ(tops, (std::vector<double>{340, 2860, 5280}));
    // The first graph, A 20 C 40: magenta, yellow, green.
    EXPECT_EQ(Colours(canvas.Boxes()).at(0), kRankCColour);
    EXPECT_EQ(Colours(canvas.Boxes()).at(1), kRankBColour);
    EXPECT_EQ(Colours(canvas.Boxes()).at(2), kRankAColour);
}

TEST_F(CriteriaTest, LiveUpdateShowsBAndRedrawsTheFrame) {
    SemesterSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Activate();
    editor.Text_Change(1, QStringLiteral("20"));
    editor.Text_Change(2, QStringLiteral("40"));
    EXPECT_EQ(editor.frames[0].bLabel, QStringLiteral(" 40"));
    const CanvasOp* heading = nullptr;
    auto boxes = LastGraphBoxes(&heading);
    EXPECT_EQ(heading->y1, 340 + 300);
    EXPECT_EQ(Colours(boxes), (std::vector<QRgb>{kRankCColour, kRankBColour, kRankAColour}));

    editor.Text_Change(3, QStringLiteral("25.5"));
    EXPECT_EQ(editor.frames[1].bLabel, QStringLiteral(" 75.5")); // C still -1
    LastGraphBoxes(&heading);
    EXPECT_EQ(heading->y1, 2860 + 300);
    EXPECT_TRUE(platform.messages.isEmpty());
}

// A share refused while typing gives the box back the share it held before that entry, and the
// graph is drawn with it again; registration stores what the boxes show, and refuses a box left
// empty, naming the viewpoint and going to the box. Stored: 表現 A 20, C 40.
TEST_F(CriteriaTest, ARefusedShareComesBackAndAnEmptyShareIsRefused) {
    const std::vector<QRgb> kRated = {kRankCColour, kRankBColour, kRankAColour}; // 12, 30, 45
    // steps: "N=text" types text into TextN, "N." finishes TextN's editing (Enter, or the focus
    // left it); boxes: A, C and B of 表現 afterwards; registered: the test goes through, else it
    // is refused and the focus is on 表現's C box.
    const QString kEmptyC = u"観点「表現」の C の割合を入力してください。"_s;
    const struct {
        const char* what;
        const char* steps;
        QString message;
        const char* boxes;
        int storedC;
        bool registered;
    } cases[] = {
        {"90 typed over C 40", "2=9 2=90", kSumOver100, " 20| 40| 40", 40, true},
        {"the share last finished comes back", "2=3 2=30 2. 2=309", kSumOver100, " 20|30| 50", 30,
         true},
        {"A refused after C changed", "2=10 2. 1=95", kSumOver100, " 20|10| 70", 10, true},
        {"an emptied box is refused at registration", "2= 2.", kEmptyC, " 20|| 80", 40, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        A(0, 0) = 20;
        C(0, 0) = 40;
        platform.messages.clear();
        SemesterSpecEditor editor(book, session, platform, main);
        Attach(editor);
        std::pair<int, ShareRole> focused{-1, ShareRole::A};
        editor.focusBox = [&focused](int k, ShareRole role) { focused = {k, role}; };
        editor.Form_Activate();
        for (const QString& step : QString::fromLatin1(c.steps).split(u' ')) {
            if (step.endsWith(u'.'))
                editor.Text_EditingFinished(step.chopped(1).toInt());
            else
                editor.Text_Change(step.section(u'=', 0, 0).toInt(), step.section(u'=', 1));
        }
        const QStringList boxes = QString::fromLatin1(c.boxes).split(u'|');
        EXPECT_EQ(editor.frames[0].aText, boxes[0]);
        EXPECT_EQ(editor.frames[0].cText, boxes[1]);
        EXPECT_EQ(editor.frames[0].bLabel, boxes[2]);
        if (c.registered) {
            // The graph shows the shares given back (45 of 50 is A, 12 of 50 is C).
            if (boxes[1] == u" 40") {
                EXPECT_EQ(Colours(LastGraphBoxes()), kRated);
            }
            EXPECT_EQ(platform.messages, QStringList{c.message});
        }
        EXPECT_EQ(editor.Command1_Click(), c.registered);
        EXPECT_EQ(platform.messages, QStringList{c.message});
        EXPECT_EQ(C(0, 0), c.storedC);
        EXPECT_EQ(A(0, 0), 20);
        if (!c.registered) {
            EXPECT_EQ(focused, std::make_pair(0, ShareRole::C));
        }
    }
}

TEST_F(CriteriaTest, PairOfExactly100IsAccepted) {
    SemesterSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Activate();
    editor.Text_Change(5, QStringLiteral("60"));
    editor.Text_Change(6, QStringLiteral("40"));
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(editor.frames[2].bLabel, QStringLiteral(" 0"));
    EXPECT_TRUE(editor.Command1_Click());
    EXPECT_EQ(A(0, 2), 60);
    EXPECT_EQ(C(0, 2), 40);
}

TEST_F(CriteriaTest, TextsAreReadAsTheirLeadingNumber) {
    SemesterSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Activate();
    editor.Text_Change(1, QStringLiteral("  30abc"));
    editor.Text_Change(2, QStringLiteral("abc"));
    EXPECT_EQ(editor.frames[0].bLabel, QStringLiteral(" 70"));
    editor.Text_Change(2, QStringLiteral("-20"));
    EXPECT_EQ(editor.frames[0].bLabel, QStringLiteral(" 90"));
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_TRUE(editor.Command1_Click());
    EXPECT_EQ(A(0, 0), 30);
    EXPECT_EQ(C(0, 0), -20);
}

TEST_F(CriteriaTest, SharesBeyondA16BitValueAreRefusedWhileTyping) {
    SemesterSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Activate();
    editor.Text_Change(2, QStringLiteral("-99999")); // B would be 100101
    EXPECT_EQ(platform.messages, QStringList{kShareRange});
    EXPECT_EQ(editor.frames[0].cText, QStringLiteral("-1")); // as it was
    editor.Text_Change(2, QStringLiteral("1e400"));          // endless
    EXPECT_EQ(platform.messages.size(), 2);
    EXPECT_EQ(editor.frames[0].cText, QStringLiteral("-1"));
}

TEST_F(CriteriaTest, SemesterRegistrationRoundsHalvesToEven) {
    SemesterSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Activate();
    editor.Text_Change(1, QStringLiteral("25.5"));
    editor.Text_Change(3, QStringLiteral("24.5"));
    editor.Text_Change(5, QStringLiteral("10"));
    editor.Text_Change(2, QStringLiteral("0.5"));
    editor.Text_Change(4, QStringLiteral("1.5"));
    editor.Text_Change(6, QStringLiteral("33"));
    EXPECT_FALSE(session.NeedsSave);
    EXPECT_TRUE(editor.Command1_Click());
    EXPECT_EQ(A(0, 0), 26);
    EXPECT_EQ(A(0, 1), 24);
    EXPECT_EQ(A(0, 2), 10);
    EXPECT_EQ(C(0, 0), 0);
    EXPECT_EQ(C(0, 1), 2);
    EXPECT_EQ(C(0, 2), 33);
    EXPECT_TRUE(session.NeedsSave);
    EXPECT_EQ(main.enabled, 1);
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(editor.Closed());
    // Other semesters and the whole year are untouched.
    EXPECT_EQ(A(1, 0), -1);
    EXPECT_EQ(A(3, 0), -1);
    EXPECT_EQ(book.RankAPercent[0][CriteriaIndex(1, 0)], -1);
}

TEST_F(CriteriaTest, SemesterRegistrationWithAFrameAbove100StoresNothing) {
    SemesterSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Activate();
    editor.Text_Change(1, QStringLiteral("10"));
    editor.Text_Change(2, QStringLiteral("10"));
    // A pair above 100 % can only come from outside the typing checks.
    editor.frames[1].aText = QStringLiteral("70");
    editor.frames[1].cText = QStringLiteral("40");
    EXPECT_FALSE(editor.Command1_Click());
    EXPECT_EQ(platform.messages, QStringList{kOver100});
    EXPECT_EQ(A(0, 0), -1);
    EXPECT_EQ(C(0, 0), -1);
    EXPECT_FALSE(session.NeedsSave);
    EXPECT_EQ(main.enabled, 0);
    EXPECT_EQ(closed, 0);
    EXPECT_FALSE(editor.Closed());
}

TEST_F(CriteriaTest, SemesterCancelStoresNothing) {
    A(0, 1) = 15;
    C(0, 1) = 25;
    SemesterSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Activate();
    for (int n = 1; n <= 6; ++n)
        editor.Text_Change(n, QStringLiteral("5"));
    platform.answers = {true}; // throw away what was typed
    editor.Command2_Click();
    EXPECT_EQ(A(0, 1), 15);
    EXPECT_EQ(C(0, 1), 25);
    EXPECT_EQ(A(0, 0), -1);
    EXPECT_FALSE(session.NeedsSave);
    EXPECT_EQ(main.enabled, 1);
    EXPECT_EQ(closed, 1);
    // A later close-box event does not enable the main window twice.
    editor.Form_Unload();
    EXPECT_EQ(main.enabled, 1);
}

TEST_F(CriteriaTest, StoredPairAbove100IsRefusedWhenTheBoxesFill) {
    A(0, 0) = 80;
    C(0, 0) = 40;
    SemesterSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Activate();
    // The A boxes fill first (B 20), then C 40 makes B negative: that box is emptied.
    EXPECT_EQ(platform.messages, QStringList{kSumOver100});
    EXPECT_EQ(editor.frames[0].aText, QStringLiteral(" 80"));
    EXPECT_EQ(editor.frames[0].cText, QString());
    EXPECT_EQ(editor.frames[0].bLabel, QStringLiteral(" 20"));
}

TEST_F(CriteriaTest, SpinnersStepWithin0To99) {
    SemesterSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Activate();
    editor.StepBox(0, ShareRole::A, +1); // from -1
    EXPECT_EQ(editor.frames[0].aText, QStringLiteral("1"));
    editor.StepBox(0, ShareRole::A, -1);
    editor.StepBox(0, ShareRole::A, -1);
    EXPECT_EQ(editor.frames[0].aText, QStringLiteral("0"));
    editor.Text_Change(2, QStringLiteral("99"));
    editor.StepBox(0, ShareRole::C, +1);
    EXPECT_EQ(editor.frames[0].cText, QStringLiteral("99"));
    editor.Text_Change(2, QStringLiteral(" 40"));
    editor.Text_Change(1, QStringLiteral(" 20"));
    editor.StepBox(0, ShareRole::A, +1);
    EXPECT_EQ(editor.frames[0].aText, QStringLiteral("21"));
    EXPECT_EQ(editor.frames[0].bLabel, QStringLiteral(" 39")); // the step is a change
    // A step that would pass 100 % is refused like typing: the box shows what it showed.
    editor.Text_Change(1, QStringLiteral("60"));
    editor.StepBox(0, ShareRole::A, +1);
    EXPECT_EQ(platform.messages, QStringList{kSumOver100});
    EXPECT_EQ(editor.frames[0].aText, QStringLiteral("60"));
}

// Printing goes through the PDF printer of the fake platform; the page is read back as text.
static QString PdfText(const QString& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return {};
    QProcess process;
    process.start(tool,
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    process.waitForFinished(30000);
    // pdftotext breaks a line where the gaps between words are wide: compare without blanks.
    QString text = QString::fromUtf8(process.readAllStandardOutput());
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

TEST_F(CriteriaTest, PrintingUsesTheStoredShares) {
    A(0, 0) = 20;
    C(0, 0) = 40;
    SemesterSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Activate();
    editor.Text_Change(1, QStringLiteral("0"));
    editor.Text_Change(2, QStringLiteral("0"));
    platform.answers = {true}; // OK to the question that the boxes differ
    editor.Command3_Click();
    EXPECT_EQ(platform.questions.size(), 1);
    EXPECT_EQ(platform.printed, 1);
    EXPECT_EQ(A(0, 0), 20); // printing stores nothing
    EXPECT_FALSE(editor.Closed());
    const QString text = PdfText(platform.pdfPath);
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_TRUE(text.contains(QString(kProjectTitle).remove(u' ')));
    EXPECT_TRUE(text.contains(u"国語一学期の集計グラフ"_s));
    EXPECT_TRUE(text.contains(u"表現A:1人B:1人C:1人"_s)) << text.toStdString();
    EXPECT_FALSE(text.contains(u"表現A:0人B:3人"_s));
}

// ---------------------------------------------------------------------------------------------
// The annual editor

TEST_F(CriteriaTest, AnnualLoadShowsNamesListsAndShares) {
    A(3, 1) = 30;
    C(3, 1) = 10;
    SubjectSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Load();
    EXPECT_EQ(editor.title, u"国語の通年の評定基準の作成"_s);
    EXPECT_EQ(editor.frames[1].caption, u"理解の評定基準"_s);
    EXPECT_EQ(editor.combo[0], u"国語"_s);
    EXPECT_EQ(editor.combo[3], u"言語"_s);
    EXPECT_EQ(editor.subjectItems.size(), 6);
    EXPECT_EQ(editor.viewpointItems.size(), 12);
    EXPECT_EQ(editor.viewpointItems.front(), u"表現"_s);
    EXPECT_EQ(editor.frames[1].aText, QStringLiteral(" 30"));
    EXPECT_EQ(editor.frames[1].cText, QStringLiteral(" 10"));
    EXPECT_EQ(editor.frames[1].bLabel, QStringLiteral(" 60"));

    canvas.ops.clear();
    editor.Form_Activate();
    EXPECT_EQ(clears, 1);
    std::vector<double> tops;
    for (const auto& op : canvas.Texts())
        if (op.text.contains(u"集計グラフ"_s))
            tops.push_back(op.y1 - 300);
    EXPECT_EQ(tops, (std::vector<double>{1060, 3460, 5860}));
}

TEST_F(CriteriaTest, MiddleFrameTopBoxIsAAndBottomBoxIsC) {
    SubjectSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Load();
    editor.Form_Activate();
    editor.Text_Change(4, QStringLiteral("30")); // the top box of the middle frame
    editor.Text_Change(3, QStringLiteral("10")); // its bottom box
    EXPECT_EQ(editor.frames[1].aText, QStringLiteral("30"));
    EXPECT_EQ(editor.frames[1].cText, QStringLiteral("10"));
    EXPECT_EQ(editor.frames[1].bLabel, QStringLiteral(" 60"));
    // The redrawn graph uses A 30 and C 10: A from 35, C below 5 points.
    const CanvasOp* heading = nullptr;
    const auto boxes = LastGraphBoxes(&heading);
    EXPECT_EQ(heading->y1, 3460 + 300);
    EXPECT_EQ(heading->text, u"国語 理解 集計グラフ (50点満点)"_s);
    EXPECT_EQ(Colours(boxes), (std::vector<QRgb>{kRankBColour, kRankBColour, kRankAColour}));
    ASSERT_TRUE(editor.Command1_Click());
    EXPECT_EQ(A(3, 1), 30);
    EXPECT_EQ(C(3, 1), 10);
    EXPECT_EQ(A(3, 0), -1);
    EXPECT_EQ(A(0, 1), -1); // no semester is touched
}

TEST_F(CriteriaTest, AnnualRegistrationRenamesAndRoundsHalvesToEven) {
    SubjectSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Load();
    editor.Text_Change(1, QStringLiteral("25.5"));
    editor.Text_Change(2, QStringLiteral("24.5"));
    editor.Combo_Change(1, u"こくご"_s);
    editor.Combo_Change(2, u"話す"_s);
    ASSERT_TRUE(editor.Command1_Click());
    EXPECT_EQ(A(3, 0), 26);
    EXPECT_EQ(C(3, 0), 24);
    EXPECT_EQ(book.SubjectTitles[0][0], u"こくご"_s);
    EXPECT_EQ(book.SubjectTitles[0][1], u"話す"_s);
    EXPECT_EQ(book.SubjectTitles[0][2], u"理解"_s);
    EXPECT_EQ(book.SubjectNameChoices[6], u"こくご"_s);
    EXPECT_EQ(book.ViewpointNameChoices[12], u"話す"_s);
    EXPECT_EQ(book.SubjectKeys[0], QStringLiteral("LANGUAGE")); // the key stays
    EXPECT_TRUE(session.NeedsSave);
    EXPECT_EQ(main.enabled, 1);
    EXPECT_EQ(closed, 1);
}

TEST_F(CriteriaTest, AnnualRefusalsComeInTheirOrder) {
    SubjectSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Load();
    // All three faults at once: the pair above 100 % is reported first.
    editor.frames[2].aText = QStringLiteral("90");
    editor.frames[2].cText = QStringLiteral("20");
    editor.Combo_Change(3, u"表現"_s);
    editor.Combo_Change(1, u"算数"_s);
    EXPECT_FALSE(editor.Command1_Click());
    EXPECT_EQ(platform.messages, QStringList{kOver100});

    editor.Text_Change(6, QStringLiteral("10"));
    platform.messages.clear();
    EXPECT_FALSE(editor.Command1_Click());
    EXPECT_EQ(platform.messages, QStringList{kOverlap});

    editor.Combo_Change(3, u"理解"_s);
    platform.messages.clear();
    EXPECT_FALSE(editor.Command1_Click());
    EXPECT_EQ(platform.messages, QStringList{kTaken});

    // Nothing was stored by any refusal.
    EXPECT_EQ(book.SubjectTitles[0][0], u"国語"_s);
    EXPECT_EQ(A(3, 2), -1);
    EXPECT_FALSE(session.NeedsSave);
    EXPECT_EQ(main.enabled, 0);
    EXPECT_FALSE(editor.Closed());

    editor.Combo_Change(1, u"国語"_s); // its own name is fine
    platform.messages.clear();
    EXPECT_TRUE(editor.Command1_Click());
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(A(3, 2), 90);
    EXPECT_EQ(C(3, 2), 10);
}

TEST_F(CriteriaTest, EmptySubjectNameIsRefused) {
    SubjectSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Load();
    editor.Combo_Change(1, QString());
    EXPECT_FALSE(editor.Command1_Click());
    EXPECT_EQ(platform.messages, QStringList{kTaken});
    EXPECT_EQ(book.SubjectTitles[0][0], u"国語"_s);
}

TEST_F(CriteriaTest, ViewpointNamesAreComparedExactly) {
    SubjectSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Load();
    editor.Combo_Change(2, QStringLiteral("Kaku"));
    editor.Combo_Change(3, QStringLiteral("kaku"));
    EXPECT_TRUE(editor.Command1_Click());
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(CriteriaTest, NewViewpointNameIsOfferedNextTimeOnce) {
    {
        SubjectSpecEditor editor(book, session, platform, main);
        Attach(editor);
        editor.Form_Load();
        editor.Combo_Change(3, u"読む"_s);
        editor.Combo_Change(4, u"知識"_s); // already in the list
        ASSERT_TRUE(editor.Command1_Click());
    }
    EXPECT_EQ(book.ViewpointNameChoices[12], u"読む"_s);
    EXPECT_EQ(book.ViewpointNameChoices[13], QString());
    session.CurrentSubject = 3;
    SubjectSpecEditor next(book, session, platform, main);
    next.Form_Load();
    EXPECT_EQ(next.viewpointItems.size(), 13);
    EXPECT_EQ(next.viewpointItems.back(), u"読む"_s);
    EXPECT_EQ(next.viewpointItems.count(u"知識"_s), 1);
}

TEST_F(CriteriaTest, FullSubjectListKeepsTheNewNameOnlyInTheTitles) {
    for (int i = 6; i < 10; ++i)
        book.SubjectNameChoices[i] = QStringLiteral("subject%1").arg(i);
    session.CurrentSubject = 4;
    SubjectSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Load();
    EXPECT_EQ(editor.subjectItems.size(), 10);
    editor.Combo_Change(1, u"図工"_s);
    ASSERT_TRUE(editor.Command1_Click());
    EXPECT_EQ(book.SubjectTitles[4][0], u"図工"_s);
    for (int i = 0; i < 10; ++i)
        EXPECT_NE(book.SubjectNameChoices[i], u"図工"_s);
    EXPECT_EQ(book.SubjectNameChoices[10], QString()); // nothing beyond the used places
}

TEST_F(CriteriaTest, FullViewpointListStaysAsItIs) {
    for (int i = 12; i < 20; ++i)
        book.ViewpointNameChoices[i] = QStringLiteral("vp%1").arg(i);
    SubjectSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Load();
    editor.Combo_Change(2, u"新しい観点"_s);
    ASSERT_TRUE(editor.Command1_Click());
    EXPECT_EQ(book.SubjectTitles[0][1], u"新しい観点"_s);
    EXPECT_EQ(book.ViewpointNameChoices[20], QString());
    EXPECT_EQ(book.ViewpointNameChoices[19], QStringLiteral("vp19"));
}

TEST_F(CriteriaTest, NamesTheFileCannotHoldAreRefused) {
    SubjectSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Load();
    editor.Combo_Change(3, u"読む;書く"_s);
    EXPECT_FALSE(editor.Command1_Click());
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].startsWith(u"観点2の名前に"_s))
        << platform.messages[0].toStdString();
    EXPECT_EQ(book.SubjectTitles[0][2], u"理解"_s);
    EXPECT_EQ(book.ViewpointNameChoices[12], QString());

    editor.Combo_Change(3, u"読む"_s);
    editor.Combo_Change(1, u"国\n語"_s);
    EXPECT_FALSE(editor.Command1_Click());
    ASSERT_EQ(platform.messages.size(), 2);
    EXPECT_TRUE(platform.messages[1].startsWith(u"科目の名前に"_s));
    EXPECT_FALSE(session.NeedsSave);
    EXPECT_FALSE(editor.Closed());
}

TEST_F(CriteriaTest, AnnualCancelStoresNothing) {
    SubjectSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Load();
    editor.Combo_Change(1, u"えいご"_s);
    editor.Combo_Change(2, u"聞く"_s);
    editor.Text_Change(1, QStringLiteral("30"));
    platform.answers = {true}; // throw away what was typed
    editor.Command2_Click();
    EXPECT_EQ(book.SubjectTitles[0][0], u"国語"_s);
    EXPECT_EQ(book.SubjectTitles[0][1], u"表現"_s);
    EXPECT_EQ(A(3, 0), -1);
    EXPECT_EQ(book.SubjectNameChoices[6], QString());
    EXPECT_FALSE(session.NeedsSave);
    EXPECT_EQ(main.enabled, 1);
}

TEST_F(CriteriaTest, PrintingAsksFirstWhenTheBoxesDifferFromTheStoredShares) {
    const QString question = u"登録されている評定基準でグラフを印刷します。画面の値で印刷するには"
                             u"、先に登録してください。"_s;
    struct Case {
        QString typed; // into Text1 (viewpoint 0's A box); empty: nothing typed
        bool answer;   // OK
        bool asked;
        int printed;
    } cases[] = {
        {QString(), false, false, 1},
        {QStringLiteral("20"), false, false, 1}, // typed, but the same as stored
        {QStringLiteral("30"), true, true, 1},
        {QStringLiteral("30"), false, true, 0},
    };
    for (const auto& c : cases) {
        A(0, 0) = 20;
        C(0, 0) = 40;
        test::FakePlatform fake;
        SemesterSpecEditor editor(book, session, fake, main);
        Attach(editor);
        editor.Form_Activate();
        if (!c.typed.isEmpty())
            editor.Text_Change(1, c.typed);
        fake.answers = {c.answer};
        editor.Command3_Click();
        EXPECT_EQ(fake.questions.contains(question), c.asked) << c.typed.toStdString();
        EXPECT_EQ(fake.printed, c.printed) << c.typed.toStdString();
    }
}

TEST_F(CriteriaTest, EachRedrawFirstErasesTheGraphsArea) {
    SemesterSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Activate();
    canvas.ops.clear();
    editor.Text_Change(3, QStringLiteral("10")); // viewpoint 1's A box
    ASSERT_FALSE(canvas.ops.empty());
    const CanvasOp area = canvas.ops.front();
    ASSERT_EQ(area.kind, CanvasOp::Erase);
    EXPECT_EQ(area.fill, canvas.BackColor);
    for (const auto& op : canvas.ops) {
        const double right = op.kind == CanvasOp::Text ? canvas.TextRight(op) : op.x2;
        const double bottom = op.kind == CanvasOp::Text ? op.y1 + 240 : op.y2;
        EXPECT_GE(std::min(op.x1, right), area.x1);
        EXPECT_LE(std::max(op.x1, right), area.x2);
        EXPECT_GE(std::min(op.y1, bottom), area.y1);
        EXPECT_LE(std::max(op.y1, bottom), area.y2);
    }
    EXPECT_LE(area.y2, editor.GraphY(2)); // the next graph is left alone
    EXPECT_GE(area.y1, editor.GraphY(1));
}

TEST_F(CriteriaTest, AnnualPrintingUsesTheYearPage) {
    A(3, 0) = 20;
    C(3, 0) = 40;
    SubjectSpecEditor editor(book, session, platform, main);
    Attach(editor);
    editor.Form_Load();
    editor.Text_Change(1, QStringLiteral("0"));
    platform.answers = {true};
    editor.Command3_Click();
    EXPECT_EQ(platform.printed, 1);
    const QString text = PdfText(platform.pdfPath);
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_TRUE(text.contains(u"国語通年の集計グラフ"_s));
    EXPECT_TRUE(text.contains(u"表現A:1人B:1人C:1人"_s));
}

// ---------------------------------------------------------------------------------------------
// The windows

void Type(QWidget* widget, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &release);
    }
}

void SelectAll(QLineEdit* box) {
    box->selectAll();
}

// True once a window closed with WA_DeleteOnClose has been deleted.
template <typename T> bool Deleted(const QPointer<T>& window) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return window.isNull();
}

int CountPixels(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) | 0xff000000) == colour)
                ++count;
    return count;
}

TEST_F(CriteriaTest, SemesterWindowTypingShowsBAndRefuses) {
    A(0, 0) = 20;
    C(0, 0) = 40;
    auto* form = new FormSemesterSpec(book, session, platform, main);
    QPointer<FormSemesterSpec> guard(form);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    EXPECT_EQ(form->windowTitle(), u"国語の一学期の評定基準の作成"_s);
    EXPECT_EQ(form->Frame(0)->title(), u"表現の評定基準"_s);
    EXPECT_EQ(form->Text(1)->text(), QStringLiteral(" 20"));
    EXPECT_EQ(form->Text(2)->text(), QStringLiteral(" 40"));
    EXPECT_EQ(form->BLabel(0)->text(), QStringLiteral(" 40"));
    // The stored graph of viewpoint 0 is on the layer: one magenta, yellow and green box each.
    EXPECT_GT(CountPixels(form->layer(), kRankCColour), 0);
    EXPECT_GT(CountPixels(form->layer(), kRankBColour), 0);
    EXPECT_GT(CountPixels(form->layer(), kRankAColour), 0);

    SelectAll(form->Text(1));
    Type(form->Text(1), QStringLiteral("70"));
    // "7" gives B 53; "70" is refused and the box gets back its share.
    EXPECT_EQ(platform.messages, QStringList{kSumOver100});
    EXPECT_EQ(form->Text(1)->text(), QStringLiteral(" 20"));
    EXPECT_EQ(form->BLabel(0)->text(), QStringLiteral(" 40"));

    // The spinner writes into the box.
    auto buttons = form->UpDown(3)->findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 2);
    buttons[0]->click(); // from -1
    EXPECT_EQ(form->Text(3)->text(), QStringLiteral("1"));
    buttons[0]->click();
    EXPECT_EQ(form->Text(3)->text(), QStringLiteral("2"));
    EXPECT_EQ(form->BLabel(1)->text(), QStringLiteral(" 99")); // C is -1
    buttons[1]->click();
    EXPECT_EQ(form->Text(3)->text(), QStringLiteral("1"));
    // So do the arrow keys in the box.
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(form->Text(3), &up);
    EXPECT_EQ(form->Text(3)->text(), QStringLiteral("2"));

    form->Command(1)->click(); // 登録
    EXPECT_TRUE(Deleted(guard));
    EXPECT_EQ(A(0, 0), 20);
    EXPECT_EQ(C(0, 0), 40);
    EXPECT_EQ(A(0, 1), 2);
    EXPECT_EQ(main.enabled, 1);
    EXPECT_TRUE(session.NeedsSave);
}

TEST_F(CriteriaTest, SemesterWindowCloseBoxActsAsCancel) {
    auto* form = new FormSemesterSpec(book, session, platform, main);
    QPointer<FormSemesterSpec> guard(form);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    SelectAll(form->Text(1));
    Type(form->Text(1), QStringLiteral("30"));
    platform.answers = {true}; // throw away what was typed
    form->close();
    EXPECT_TRUE(Deleted(guard));
    EXPECT_EQ(main.enabled, 1);
    EXPECT_EQ(A(0, 0), -1);
    EXPECT_FALSE(session.NeedsSave);
}

TEST_F(CriteriaTest, SemesterWindowEscapePressesCancel) {
    auto* form = new FormSemesterSpec(book, session, platform, main);
    QPointer<FormSemesterSpec> guard(form);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    SelectAll(form->Text(1));
    Type(form->Text(1), QStringLiteral("30"));
    platform.answers = {true}; // throw away what was typed
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(form->Text(1), &escape);
    EXPECT_TRUE(Deleted(guard));
    EXPECT_EQ(A(0, 0), -1);
    EXPECT_EQ(main.enabled, 1);
}

TEST_F(CriteriaTest, SubjectWindowShowsTheNameListsAndRenames) {
    auto* form = new FormSubjectSpec(book, session, platform, main);
    QPointer<FormSubjectSpec> guard(form);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    EXPECT_EQ(form->windowTitle(), u"国語の通年の評定基準の作成"_s);
    EXPECT_EQ(form->Combo(1)->count(), 6);
    EXPECT_EQ(form->Combo(1)->currentText(), u"国語"_s);
    EXPECT_EQ(form->Combo(2)->count(), 12);
    EXPECT_EQ(form->Combo(4)->currentText(), u"言語"_s);
    EXPECT_EQ(form->CriteriaFrame(1)->title(), u"理解の評定基準"_s);

    // The middle frame: Text4 is the top box (A), Text3 the bottom one (C).
    EXPECT_LT(form->Text(4)->y(), form->Text(3)->y());
    SelectAll(form->Text(4));
    Type(form->Text(4), QStringLiteral("30"));
    SelectAll(form->Text(3));
    Type(form->Text(3), QStringLiteral("10"));
    EXPECT_EQ(form->BLabel(1)->text(), QStringLiteral(" 60"));

    form->Combo(3)->setEditText(u"読む"_s);
    EXPECT_EQ(form->logic().combo[2], u"読む"_s);
    form->Combo(1)->setCurrentIndex(1); // 算数: taken
    form->Command(1)->click();
    EXPECT_EQ(platform.messages, QStringList{kTaken});
    ASSERT_FALSE(guard.isNull());
    form->Combo(1)->setEditText(u"国語"_s);
    form->Command(1)->click();
    EXPECT_TRUE(Deleted(guard));
    EXPECT_EQ(A(3, 1), 30);
    EXPECT_EQ(C(3, 1), 10);
    EXPECT_EQ(book.SubjectTitles[0][2], u"読む"_s);
    EXPECT_EQ(main.enabled, 1);
}

TEST_F(CriteriaTest, SubjectWindowEscapeActsAsCancel) {
    auto* form = new FormSubjectSpec(book, session, platform, main);
    QPointer<FormSubjectSpec> guard(form);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    form->Combo(1)->setEditText(u"えいご"_s);
    platform.answers = {true}; // throw away what was typed
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(form->Combo(1)->lineEdit(), &escape);
    ASSERT_TRUE(Deleted(guard)); // Esc is ｷｬﾝｾﾙ here too
    EXPECT_EQ(main.enabled, 1);
}

TEST_F(CriteriaTest, SubjectWindowCloseBoxEnablesTheMainWindow) {
    auto* form = new FormSubjectSpec(book, session, platform, main);
    QPointer<FormSubjectSpec> guard(form);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    form->Combo(1)->setEditText(u"えいご"_s);
    platform.answers = {true}; // throw away what was typed
    form->close();
    EXPECT_TRUE(Deleted(guard));
    EXPECT_EQ(main.enabled, 1);
    EXPECT_EQ(book.SubjectTitles[0][0], u"国語"_s);
}

// The window's controls in creation order and its focus chain, as text to compare.
void SaveControls(QWidget* window, const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
    QTextStream out(&file);
    out << window->size().width() << 'x' << window->size().height() << '\n';
    for (QWidget* child : window->findChildren<QWidget*>()) {
        const QRect r(child->mapTo(window, QPoint(0, 0)), child->size());
        out << child->metaObject()->className() << ' ' << child->objectName() << ' ' << r.x() << ','
            << r.y() << ' ' << r.width() << 'x' << r.height();
        if (auto* label = qobject_cast<QLabel*>(child))
            out << ' ' << label->text();
        if (auto* button = qobject_cast<QPushButton*>(child))
            out << ' ' << button->text();
        if (auto* box = qobject_cast<QGroupBox*>(child))
            out << ' ' << box->title();
        out << '\n';
    }
    out << "focus:";
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain())
        out << ' ' << w->metaObject()->className() << '@' << w->mapTo(window, QPoint(0, 0)).x()
            << ',' << w->mapTo(window, QPoint(0, 0)).y();
    out << '\n';
}

// Pictures of both windows with their graphs, for looking at them: only when asked for.
TEST_F(CriteriaTest, Screenshot) {
    const QString dir = qEnvironmentVariable("KIRUNE_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "KIRUNE_SCREENSHOT_DIR not set";
    for (int k = 0; k < 3; ++k) {
        A(0, k) = static_cast<int16_t>(20 + 5 * k);
        C(0, k) = static_cast<int16_t>(30 - 5 * k);
        A(3, k) = static_cast<int16_t>(15 + 10 * k);
        C(3, k) = static_cast<int16_t>(25);
    }
    {
        FormSemesterSpec form(book, session, platform, main);
        form.show();
        SelectAll(form.Text(3));
        Type(form.Text(3), QStringLiteral("33"));
        QApplication::processEvents();
        EXPECT_TRUE(form.grab().save(dir + QStringLiteral("/semesterspec.png")));
        SaveControls(&form, dir + QStringLiteral("/semesterspec.txt"));
    }
    {
        FormSubjectSpec form(book, session, platform, main);
        form.show();
        SelectAll(form.Text(3));
        Type(form.Text(3), QStringLiteral("12"));
        QApplication::processEvents();
        EXPECT_TRUE(form.grab().save(dir + QStringLiteral("/subjectspec.png")));
        SaveControls(&form, dir + QStringLiteral("/subjectspec.txt"));
    }
}

// The graphs' layer has as many pixels as the screen shows: a line one pixel wide is two device
// pixels thick at scale 2, not one pixel stretched.
TEST(GraphLayerTest, DrawsAtTheScreensPixelRatio) {
    for (const qreal ratio : {1.0, 2.0}) {
        GraphLayer layer;
        layer.Resize(QSize(100, 50), ratio);
        layer.Clear(Qt::white);
        layer.Paint([](Canvas& canvas) { canvas.Line(0, 300, 1500, 300, qRgb(0, 0, 0)); });
        const QImage& image = layer.image();
        EXPECT_EQ(image.size(), QSize(100, 50) * ratio);
        EXPECT_EQ(image.devicePixelRatio(), ratio);
        int inkRows = 0;
        for (int y = 0; y < image.height(); ++y)
            inkRows += qGray(image.pixel(image.width() / 4, y)) < 128 ? 1 : 0;
        EXPECT_EQ(inkRows, static_cast<int>(ratio)) << ratio;
    }
}

TEST(ShareNumberTextTest, WholeAndFractionalShares) {
    EXPECT_EQ(ShareNumberText(40), QStringLiteral(" 40"));
    EXPECT_EQ(ShareNumberText(0), QStringLiteral(" 0"));
    EXPECT_EQ(ShareNumberText(34.5), QStringLiteral(" 34.5"));
    EXPECT_EQ(ShareNumberText(100 - 33.3), QStringLiteral(" 66.7"));
    EXPECT_EQ(ShareNumberText(-2.5), QStringLiteral("-2.5"));
}

} // namespace
