// The window of File > 学年の集計: it shows its logic's table and notes, and the period box and
// the keyboard reach the logic.
#include "app/summarywindow.h"
#include "browse/bookfixture.h"
#include "editors/common/gridview.h"
#include "model/gradebookfile.h"
#include "support/fakeplatform.h"
#include "support/widgettest.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

TEST(SummaryWindow, ThePeriodBoxRereadsTheBooksAndTheNotesStandUnderTheTable) {
    FakePlatform platform;
    auto book = testing::BookWithPupils({u"青木", u"伊藤"});
    const int slot = SemesterAggregateSlot(1, 0, 0);
    testing::SetPupilValues(*book, slot, {30, 10});
    book->Scores[slot][kAverageColumn] = 20;
    book->Scores[slot][kPointsColumn] = 40;
    const QString path = platform.dir.filePath(QStringLiteral("class.txt"));
    ASSERT_TRUE(WriteGradeBookFile(path, *book, nullptr));
    auto logic = std::make_unique<GradeSummaryLogic>(platform, QString());
    ASSERT_TRUE(logic->Load({path, platform.dir.filePath(QStringLiteral("memo.txt"))}));

    SummaryWindow window(std::move(logic));
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* period = window.findChild<QComboBox*>(QStringLiteral("cboPeriod"));
    auto* table = window.findChild<GridView*>(QStringLiteral("grdSummary"));
    ASSERT_TRUE(period && table);
    EXPECT_EQ(table->fixedCols(), 2); // the class stays in view beside the numbers
    EXPECT_EQ(table->cellText(2, 1), u"学年全体"_s);
    EXPECT_EQ(table->cellText(2, 3), QString());

    period->setCurrentIndex(2); // 二学期: 30 and 10 of 40 points
    EXPECT_EQ(window.logic().PeriodChoice(), 2);
    EXPECT_EQ(table->cellText(2, 3), QStringLiteral("50.0"));
    bool noted = false;
    for (const QLabel* label : window.findChildren<QLabel*>())
        noted = noted || (label->isVisible() && label->text().contains(QStringLiteral("memo.txt")));
    EXPECT_TRUE(noted);

    QTest::keyClick(&window, Qt::Key_F1);
    EXPECT_EQ(platform.helpPages, QStringList{QStringLiteral("summary.html")});
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace kirune::test
