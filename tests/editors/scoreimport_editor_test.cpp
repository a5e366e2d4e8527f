// 得点の読み込み in the test editor: the boxes filled as if typed (grid, totals, ranks, then
// registration as usual), an entry refused before the file is read, and the preview dialog's
// choices of columns and sheets.
#include "editors/exam/formtestspec.h"
#include "editors/exam/scoreimportdialog.h"
#include "editors/exam/testeditor.h"

#include "browse/bookfixture.h"
#include "support/fakeplatform.h"

#include "support/testutil.h"
#include "support/workbookfixture.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

class NoMain : public MainFormHooks {
public:
    void EnableMainWindow() override {}
    void MSFlexGrid1_init() override {}
    void TreeView1_refresh() override {}
};

class ScoreImportEditorTest : public ::testing::Test {
protected:
    ScoreImportEditorTest() { Load({u"青木 颯太", u"石川 結衣", u"", u"小川 大翔"}); }

    // The editor over a book of `pupils`, with 20, 30 and 20 points for the three viewpoints.
    void Load(std::initializer_list<const char16_t*> pupils) {
        book = testing::BookWithPupils(pupils);
        editor = std::make_unique<TestEditor>(*book, session, platform, main);
        editor->Form_Load();
        editor->OnPointsChange(0, QStringLiteral("20"));
        editor->OnPointsChange(1, QStringLiteral("30"));
        editor->OnPointsChange(2, QStringLiteral("20"));
    }

    // The grid's pupil rows as "scores|total|rank".
    QStringList Rows() const {
        QStringList rows;
        for (int r = 1; r <= 4; ++r) {
            QStringList cells;
            for (int c = 2; c <= 6; ++c)
                cells << editor->scoreGrid.Text(r, c).trimmed();
            rows << cells.join(u'|');
        }
        return rows;
    }

    ScorePreview PreviewOf(const char16_t* csv) {
        const std::optional<ScoreImportTarget> target = editor->BeginScoreImport();
        EXPECT_TRUE(target.has_value());
        ScoreImport import;
        import.OpenBytes(QString::fromUtf16(csv).toUtf8(), QStringLiteral("s.csv"), *target);
        return import.Preview();
    }

    std::unique_ptr<GradeBook> book;
    Session session;
    test::FakePlatform platform;
    NoMain main;
    std::unique_ptr<TestEditor> editor;
};

TEST_F(ScoreImportEditorTest, ImportedScoresAreEnteredAsTypedAndRegistered) {
    // Pupil 2 is being edited; the import keeps what the file does not fill.
    editor->OnNextPupil();
    editor->OnScoreChange(2, QStringLiteral("9"));
    editor->OnScoreChange(0, QStringLiteral("5"));
    const ScorePreview preview = PreviewOf(
        u"番号,氏名,表現,理解,言語\n1,青木 颯太,18,25,20\n2,石川 結衣,12,x,\n4,小川,欠,,\n");
    ASSERT_EQ(preview.matched.size(), 3u);
    editor->ImportScores(preview);

    EXPECT_EQ(Rows().join(u'/'), QStringLiteral("18|25|20|63|1/12|||12|2/||||/*|*|*|*|*"));
    EXPECT_EQ(session.CurrentStudentNo, 2); // back at the pupil who was shown
    EXPECT_EQ(editor->scoreBoxes[0], QStringLiteral(" 12"));
    EXPECT_TRUE(editor->HasUnregisteredChanges());
    EXPECT_TRUE(platform.messages.isEmpty());

    // Registration asks about pupil 2's empty boxes as for typed scores.
    platform.choiceAnswers.push_back(kAnswerYes);
    ASSERT_TRUE(editor->OnRegister());
    EXPECT_EQ(platform.choiceLists.size(), 1);
    const int S = TestSlot(0, 0, 0, 0);
    EXPECT_EQ(book->Scores[S + 0][0], 18);
    EXPECT_EQ(book->Scores[S + 1][1], -1);
    EXPECT_EQ(book->Scores[S + 3][3], -2);
}

TEST_F(ScoreImportEditorTest, AnEntryRefusedFirstStopsTheImport) {
    editor->OnScoreChange(0, QStringLiteral("21")); // above the points
    EXPECT_FALSE(editor->BeginScoreImport().has_value());
    EXPECT_EQ(platform.messages.size(), 1);
}

TEST_F(ScoreImportEditorTest, TheDialogFollowsTheTeachersChoices) {
    const std::optional<ScoreImportTarget> target = editor->BeginScoreImport();
    ASSERT_TRUE(target);
    ScoreImport import;
    ASSERT_TRUE(import.Open(QStringLiteral(KIRUNE_TEST_DATA "/scores/openpyxl.xlsx"), *target));
    ScoreImportDialog dialog(import, QStringLiteral("openpyxl.xlsx"));
    EXPECT_TRUE(dialog.SheetBox()->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.ColumnBox(0)->currentText(), u"A: 番号"_s);
    EXPECT_EQ(dialog.ColumnBox(4)->currentText(), u"E: 言語"_s);
    // Rows 3 and 5 of the file name numbers that are no pupils of this class; row 2 holds 欠
    // beside a score.
    EXPECT_EQ(dialog.Tabs()->tabText(0), u"取り込む生徒 (1)"_s);

    // Without the number column the names decide: 小川 大翔 is found, 上田 蓮 is not.
    dialog.ColumnBox(0)->setCurrentIndex(0);
    emit dialog.ColumnBox(0)->activated(0);
    EXPECT_EQ(import.Preview().columns.numberColumn, -1);
    EXPECT_EQ(dialog.Tabs()->tabText(0), u"取り込む生徒 (2)"_s);
    EXPECT_EQ(dialog.Tabs()->tabText(1), u"一致しない行 (1)"_s);
    EXPECT_TRUE(dialog.ImportButton()->isEnabled());

    // The second sheet has no pupil column: nothing to take.
    dialog.SheetBox()->setCurrentIndex(1);
    emit dialog.SheetBox()->activated(1);
    EXPECT_FALSE(dialog.ImportButton()->isEnabled());
    EXPECT_FALSE(dialog.ColumnBox(0)->isEnabled());
}

// The window's button: the file asked for with its filter, the preview accepted with 取り込む,
// the boxes filled; a file refused as a whole gives its message and no preview.
TEST_F(ScoreImportEditorTest, TheButtonAsksForAFileAndFillsTheBoxesOnImport) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.csv"));
    const QString bad = dir.filePath(QStringLiteral("bad.csv"));
    for (const auto& [path, bytes] : {std::pair{good, u"番号,表現,理解,言語\n1,17,,\n"_s.toUtf8()},
                                      std::pair{bad, QByteArray("\0\1", 2)}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    FormTestSpec form(*book, session, platform, main);
    form.show();
    auto* button = form.findChild<QPushButton*>(QStringLiteral("ImportScores"));
    ASSERT_TRUE(button);
    int previews = 0;
    auto acceptPreview = [&] {
        if (auto* dialog = qobject_cast<ScoreImportDialog*>(QApplication::activeModalWidget())) {
            ++previews;
            dialog->ImportButton()->click();
        }
    };

    platform.fileAnswers.push_back(good);
    QTimer::singleShot(0, &form, acceptPreview);
    button->click();
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(platform.dialogFilters.value(0), ScoreFileFilter());
    EXPECT_EQ(form.logic().scoreGrid.Text(1, 2), QStringLiteral(" 17"));

    platform.fileAnswers.push_back(bad);
    QTimer::singleShot(0, &form, acceptPreview);
    button->click();
    QApplication::processEvents();
    EXPECT_EQ(previews, 1);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages.at(0).startsWith(u"ファイル「bad.csv」: "_s));
}

// What the teacher sees when the file does not say: the hidden sheet marked and not opened, the
// viewpoints no header names asked for, the rows whose number and name disagree held back until
// the teacher says which to follow, a table without headers, and room for 15 pupils.
TEST_F(ScoreImportEditorTest, TheDialogAsksWhatTheFileDoesNotSay) {
    using test::SheetXml;
    const QByteArray book = test::Workbook(
        {{u"前回の試験"_s, SheetXml(u"A1=番号|A2=#1"_s), "hidden"},
         {u"今回"_s, SheetXml(u"A1=番号|B1=名前|C1=知識|D1=思考|E1=表現|A2=#1|B2=石川 結衣|C2=#5|"
                              u"D2=#6|E2=#7|A3=#2|B3=青木 颯太|C3=#8|D3=#9|E3=#10"_s)}},
        1);
    ScoreImport import;
    ASSERT_TRUE(import.OpenBytes(book, u"b.xlsx"_s, *editor->BeginScoreImport()));
    ScoreImportDialog dialog(import, u"b.xlsx"_s);
    dialog.show();
    EXPECT_EQ(dialog.SheetBox()->itemText(0), u"前回の試験（非表示）"_s);
    EXPECT_EQ(dialog.SheetBox()->currentIndex(), 1);
    EXPECT_EQ(dialog.ColumnBox(2)->currentText(), u"E: 表現"_s);
    EXPECT_EQ(dialog.ColumnBox(3)->currentText(), u"（選んでください）"_s);
    EXPECT_TRUE(dialog.MessageLine()->text().contains(
        u"見出しで見つからない観点「理解」「言語」の列を選んでください。"_s));
    EXPECT_TRUE(dialog.MessageLine()->text().contains(u"別の生徒を指す行が 2 行あります"_s));
    EXPECT_TRUE(dialog.FollowsBox()->isVisible());
    EXPECT_EQ(dialog.Tabs()->tabText(0), u"取り込む生徒 (0)"_s);
    EXPECT_FALSE(dialog.ImportButton()->isEnabled());

    auto choose = [](QComboBox* box, const QString& text) {
        box->setCurrentIndex(box->findText(text));
        emit box->activated(box->currentIndex());
    };
    choose(dialog.ColumnBox(3), u"C: 知識"_s);
    choose(dialog.ColumnBox(4), u"（なし）"_s);
    EXPECT_EQ(dialog.ColumnBox(3)->findText(u"（選んでください）"_s), -1);
    EXPECT_FALSE(dialog.ImportButton()->isEnabled()); // still no row to take
    choose(dialog.FollowsBox(), u"氏名に従う"_s);
    EXPECT_EQ(dialog.Tabs()->tabText(0), u"取り込む生徒 (2)"_s);
    EXPECT_TRUE(dialog.ImportButton()->isEnabled());
    EXPECT_EQ(import.Preview().matched.front().boxes[0], u" 10"_s); // row 3's 表現 for 青木

    // Room for 15 pupils' rows, unless the screen is smaller.
    EXPECT_TRUE(dialog.VisibleRows() >= 15 || dialog.frameGeometry().height() >=
                                                  dialog.screen()->availableGeometry().height() - 1)
        << dialog.VisibleRows();

    ScoreImport bare;
    ASSERT_TRUE(bare.OpenBytes("1,15,25\n", u"bare.csv"_s, *editor->BeginScoreImport()));
    ScoreImportDialog bareDialog(bare, u"bare.csv"_s);
    EXPECT_FALSE(bareDialog.ImportButton()->isEnabled());
    bareDialog.HeaderlessBox()->setChecked(true);
    EXPECT_TRUE(bareDialog.ImportButton()->isEnabled());
    EXPECT_TRUE(
        bareDialog.MessageLine()->text().contains(u"位置で選んだ列: 表現 は B 列、理解 は C 列"_s));
}

// The next file with the same header row opens with the columns chosen for the last one.
TEST_F(ScoreImportEditorTest, TheColumnsChosenForAHeaderRowAreProposedAgain) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(u"番号,名前,知識,思考,表現\n1,青木 颯太,5,6,7\n"_s.toUtf8());
    file.close();
    FormTestSpec form(*book, session, platform, main);
    auto* button = form.findChild<QPushButton*>(QStringLiteral("ImportScores"));
    ASSERT_TRUE(button);
    QStringList shown;
    auto chooseAndImport = [&] {
        auto* dialog = qobject_cast<ScoreImportDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown.push_back(dialog->ColumnBox(3)->currentText());
        for (const auto& [box, text] : {std::pair{3, u"C: 知識"_s}, std::pair{4, u"D: 思考"_s}}) {
            QComboBox* combo = dialog->ColumnBox(box);
            combo->setCurrentIndex(combo->findText(text));
            emit combo->activated(combo->currentIndex());
        }
        dialog->ImportButton()->click();
    };
    for (int i = 0; i < 2; ++i) {
        platform.fileAnswers.push_back(path);
        QTimer::singleShot(0, &form, chooseAndImport);
        button->click();
    }
    EXPECT_EQ(shown, QStringList({u"（選んでください）"_s, u"C: 知識"_s}));
    EXPECT_EQ(form.logic().scoreGrid.Text(1, 3), QStringLiteral(" 5"));
}

TEST_F(ScoreImportEditorTest, Screenshot) {
    const QString dir = qEnvironmentVariable("KIRUNE_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "KIRUNE_SCREENSHOT_DIR not set";
    Load({u"青木 颯太", u"石川 結衣", u"上田 蓮", u"遠藤 さくら", u"小川 大翔", u"加藤 陽菜"});
    ScoreImport import;
    ASSERT_TRUE(import.Open(QStringLiteral(KIRUNE_TEST_DATA "/scores/utf8_bom.csv"),
                            *editor->BeginScoreImport()));
    ScoreImportDialog dialog(import, QStringLiteral("utf8_bom.csv"));
    dialog.show();
    const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1"));
    EXPECT_TRUE(dialog.grab().save(dir + QStringLiteral("/scoreimport-scale%1.png").arg(scale)));
    dialog.Tabs()->setCurrentIndex(3);
    EXPECT_TRUE(
        dialog.grab().save(dir + QStringLiteral("/scoreimport-cells-scale%1.png").arg(scale)));
}

} // namespace
} // namespace kirune
