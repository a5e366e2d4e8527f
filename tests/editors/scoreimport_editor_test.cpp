// 得点の読み込み in the test editor: the boxes filled as if typed (grid, totals, ranks, then
// registration as usual), an entry refused before the file is read, and the preview dialog's
// choices of columns and sheets.
#include "editors/exam/formtestspec.h"
#include "editors/exam/scoreimportdialog.h"
#include "editors/exam/testeditor.h"

#include "browse/bookfixture.h"
#include "support/fakeplatform.h"

#include "support/testutil.h"
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
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
    // Rows 3 and 5 of the file name numbers that are no pupils of this class.
    EXPECT_EQ(dialog.Tabs()->tabText(0), u"取り込む生徒 (2)"_s);

    // Without the number column the names decide: 小川 大翔 is found, 上田 蓮 is not.
    dialog.ColumnBox(0)->setCurrentIndex(0);
    emit dialog.ColumnBox(0)->activated(0);
    EXPECT_EQ(import.Preview().columns.numberColumn, -1);
    EXPECT_EQ(dialog.Tabs()->tabText(0), u"取り込む生徒 (3)"_s);
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
    for (const auto& [path, bytes] : {std::pair{good, u"番号,表現\n1,17\n"_s.toUtf8()},
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
