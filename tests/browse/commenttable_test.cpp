// The comments' table for the school's system and the comment under a pupil's record.
#include "bookfixture.h"
#include "browse/commenttable.h"
#include "browse/tables.h"
#include "model/comments.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace kirune;

namespace {

std::unique_ptr<GradeBook> CommentedBook() {
    auto book = kirune::testing::BookWithPupils({u"青木", u"", u"上田"});
    book->Comments[0] = {u"一;学期"_s, u"二"_s, QString(), u"年\n間"_s};
    book->Comments[1][0] = u"名前のない番号"_s; // not listed
    return book;
}

TEST(CommentsTable, OneRowPerNamedPupilForOneOrEveryPeriod) {
    const struct {
        int period;
        QStringList rows;
        const char16_t* captionEnd;
    } cases[] = {
        {0, {u"番号|氏名|一学期"_s, u" 1|青木|一;学期"_s, u" 3|上田|"_s}, u"　所見（一学期）"},
        {-1,
         {u"番号|氏名|一学期|二学期|三学期|年間"_s, u" 1|青木|一;学期|二||年\n間"_s,
          u" 3|上田||||"_s},
         u"　所見"},
    };
    const auto book = CommentedBook();
    for (const auto& c : cases) {
        Grid grid(43, 15);
        QString caption;
        ShowCommentsTable(*book, c.period, grid, caption);
        QStringList rows;
        for (int r = 0; r < grid.Rows(); ++r)
            rows << grid.RowString(r);
        EXPECT_EQ(rows, c.rows);
        EXPECT_TRUE(caption.endsWith(QString::fromUtf16(c.captionEnd))) << caption.toStdString();
    }
}

TEST(PupilRecord, TheChosenPeriodsCommentWrapsUnderTheRatingsInNoteRows) {
    auto book = CommentedBook();
    book->Comments[2][1] = QString(60, u'あ') + u"abc\n次の行"_s;
    const struct {
        int pupil, period;
        QStringList wideRows; // after the 25 rows of ratings
    } cases[] = {
        {1, 0, {u"所見（一学期）"_s, u"一;学期"_s}},
        {1, 2, {}},
        {3,
         1,
         {u"所見（二学期）"_s, QString(48, u'あ'), QString(12, u'あ') + u"abc"_s, u"次の行"_s}},
    };
    for (const auto& c : cases) {
        Grid record(43, 15);
        Session session;
        session.CommentPeriod = static_cast<int16_t>(c.period);
        QString caption;
        ShowPupilRecordTable(*book, session, c.pupil, record, caption);
        QStringList wide;
        for (int r = 25; r < record.Rows(); ++r)
            wide << record.Text(r, Grid::kNoteColumn);
        EXPECT_EQ(wide, c.wideRows);
        EXPECT_EQ(record.NoteRows(), c.wideRows.size());
        // The ratings' last row stays the one ruled off.
        EXPECT_EQ(record.Rows() - record.NoteRows() - record.SummaryRows(), 24);
    }
}

} // namespace
