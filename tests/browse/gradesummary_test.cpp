#include "bookfixture.h"
#include "browse/gradesummary.h"
#include "browse/rules.h"
#include "browse/tables.h"
#include "model/gradebookfile.h"

#include "support/testutil.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace kirune;
using kirune::testing::BookWithPupils;
using kirune::testing::SetPupilValues;

namespace {

// One viewpoint's period sums in a fixture book: the aggregate slot, its points and each pupil's
// total (10000 added for a total that includes an absence, -1 for no data).
struct Sums {
    int slot;
    float points;
    std::initializer_list<float> totals;
};

// A compact class book: its class, pupils ("" a pupil who transferred out) and sums. Every
// viewpoint is rated with A 20 %, C 40 % in every period.
struct ClassBook {
    const char16_t* klass;
    std::initializer_list<const char16_t*> pupils;
    std::initializer_list<Sums> sums;
};

std::unique_ptr<GradeBook> MakeBook(const ClassBook& cls) {
    auto book = BookWithPupils(cls.pupils);
    book->HomeRoomClass = QString::fromUtf16(cls.klass);
    for (auto& row : book->RankAPercent)
        row.fill(20);
    for (auto& row : book->RankCPercent)
        row.fill(40);
    for (const Sums& sums : cls.sums) {
        SetPupilValues(*book, sums.slot, sums.totals);
        book->Scores[sums.slot][kAverageColumn] = 1; // registered
        book->Scores[sums.slot][kPointsColumn] = sums.points;
    }
    return book;
}

class Books {
public:
    QString Write(const QString& name, const GradeBook& book) {
        return WriteBytes(name, GradeBookFileBytes(book));
    }
    QString WriteBytes(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QStringList WriteAll(std::initializer_list<std::pair<const char16_t*, ClassBook>> named) {
        QStringList paths;
        for (const auto& [name, cls] : named)
            paths << Write(QString::fromUtf16(name), *MakeBook(cls));
        return paths;
    }
    QStringList Listing() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    QTemporaryDir dir;
};

constexpr int kYear0 = YearAggregateSlot(0, 0); // 国語, its first viewpoint, whole year
constexpr int kYear1 = YearAggregateSlot(0, 1);

// Three classes of one grade: 1組 with an absence, 2組 with a pupil who transferred out, 3組 with
// nothing registered yet.
const ClassBook kClass1{u"1組",
                        {u"青木", u"伊藤", u"上田"},
                        {{kYear0, 100, {80, 60, 10030}},
                         {kYear1, 50, {50, 20, 19}},
                         {SemesterAggregateSlot(1, 0, 0), 40, {10, 30, 40}}}};
const ClassBook kClass2{u"2組", {u"加藤", u"", u"木村"}, {{kYear0, 100, {90, -1, 40}}}};
const ClassBook kClass3{u"3組", {u"佐藤", u"鈴木"}, {}};

// Columns [first, last) of a row; by default No., 学級, 人数, then 平均 %, A, B, C of 国語's first
// two viewpoints.
QString Head(const Grid& grid, int row, int first = 0, int last = 11) {
    QStringList cells;
    for (int c = first; c < last; ++c)
        cells << grid.Text(row, c);
    return cells.join(u'|');
}

} // namespace

TEST(GradeSummary, ThreeClassesAndTheWholeGrade) {
    Books books;
    const QStringList paths =
        books.WriteAll({{u"1組.txt", kClass1}, {u"2組.txt", kClass2}, {u"3組.txt", kClass3}});
    const QStringList before = books.Listing();

    const GradeSummary summary = SummariseBooks(paths, kSummaryYear);
    Grid grid;
    QString caption;
    // Only 国語 has anything registered: the other subjects are left out.
    EXPECT_EQ(ShowGradeSummaryTable(summary, grid, caption), 3 + 12);

    EXPECT_EQ(caption, u"令和6年度 5年　学年の集計　学年　3学級"_s);
    EXPECT_EQ(grid.Rows(), 5);
    EXPECT_EQ(grid.Text(0, 3), u"国語\r表現\r平均 %"_s);
    EXPECT_EQ(grid.Text(0, 10), u"国語\r理解\rC"_s);
    // 1組: (80 + 60 + 30) / 3 of 100 points; (50 + 20 + 19) / 3 of 50 points.
    EXPECT_EQ(Head(grid, 1), u"1|令和6年度 5年1組 山田花子|3|56.7|1|1|1|59.3|1|1|1"_s);
    // 2組: the pupil who transferred out counts nowhere.
    EXPECT_EQ(Head(grid, 2), u"2|令和6年度 5年2組 山田花子|2|65.0|1|1|0||||"_s);
    EXPECT_EQ(Head(grid, 3), u"3|令和6年度 5年3組 山田花子|2||||||||"_s);
    // The whole grade pools the five pupils: (0.8 + 0.6 + 0.3 + 0.9 + 0.4) / 5.
    EXPECT_EQ(Head(grid, 4), u"|学年全体|7|60.0|2|2|1|59.3|1|1|1"_s);
    EXPECT_TRUE(SummaryNoteLines(summary).isEmpty());
    // Read as they are: no lock, no copy, nothing beside the books.
    EXPECT_EQ(books.Listing(), before);
}

// A pupil's share counts the tests taken only: absent from a test, its points count neither way.
TEST(GradeSummary, AShareCountsOnlyTheTestsTaken) {
    // 国語's first viewpoint: tests of 30 and 20 points in the second semester, one of 50 in the
    // third; each case gives the pupil's scores there (-2 absent, -1 no score).
    const struct {
        const char* what;
        float second0, second1, third;
        int period;
        std::optional<double> share;
    } cases[] = {
        {"every test taken", 24, 10, 40, kSummaryYear, 74.0 / 100},
        {"absent from one", 24, kAbsent, 40, kSummaryYear, 64.0 / 80},
        {"no score in one", kNoData, 10, 40, 1, 10.0 / 20},
        {"absent from all of a semester", kAbsent, kAbsent, 40, 1, std::nullopt},
        {"the year with a semester missed", kAbsent, kAbsent, 40, kSummaryYear, 40.0 / 50},
        {"took none", kAbsent, kAbsent, kAbsent, kSummaryYear, std::nullopt},
        {"a period without tests", 24, 10, 40, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        auto book = BookWithPupils({u"青木"});
        const std::pair<int, float> tests[] = {
            {TestSlot(1, 0, 0, 0), 30}, {TestSlot(1, 0, 1, 0), 20}, {TestSlot(2, 0, 0, 0), 50}};
        const float scores[] = {c.second0, c.second1, c.third};
        for (int i = 0; i < 3; ++i) {
            book->Scores[tests[i].first][0] = scores[i];
            book->Scores[tests[i].first][kPointsColumn] = tests[i].second;
        }
        for (int p = 0; p < kSemesters; ++p)
            AggregateSubject(*book, 0, p);
        const auto share = PupilShare(*book, c.period, 0, 0, 1);
        ASSERT_EQ(share.has_value(), c.share.has_value()) << c.what;
        if (share) {
            EXPECT_NEAR(*share, *c.share, 1e-6) << c.what;
        }
    }
}

// The summary's numbers are the same bytes whatever the regional settings.
TEST(GradeSummary, NumbersIgnoreTheRegionalSettings) {
    Books books;
    const QStringList paths = {books.Write(u"1組.txt"_s, *MakeBook(kClass1))};
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Grid grid;
    QString caption;
    ShowGradeSummaryTable(SummariseBooks(paths, kSummaryYear), grid, caption);
    QLocale::setDefault(before);
    EXPECT_EQ(Head(grid, 1, 3, 4), u"56.7"_s);
}

TEST(GradeSummary, ThePeriodChoosesTheTables) {
    Books books;
    const QStringList paths = {books.Write(u"1組.txt"_s, *MakeBook(kClass1))};
    const struct {
        int period;
        const char16_t* label;
        const char16_t* firstViewpoint; // 平均 %, A, B, C
    } cases[] = {
        {0, u"一学期", u"|||"},
        {1, u"二学期", u"66.7|1|1|1"}, // 10, 30, 40 of 40 points
        {2, u"三学期", u"|||"},
        {kSummaryYear, u"学年", u"56.7|1|1|1"},
    };
    for (const auto& c : cases) {
        Grid grid;
        QString caption;
        ShowGradeSummaryTable(SummariseBooks(paths, c.period), grid, caption);
        EXPECT_TRUE(caption.contains(u"学年の集計　"_s + QString::fromUtf16(c.label) + u"　"_s))
            << c.period;
        EXPECT_EQ(Head(grid, 1, 3, 7), QString::fromUtf16(c.firstViewpoint)) << c.period;
    }
}

// A class's counts are the ones its book shows under 児童別 in the ratings at a glance.
TEST(GradeSummary, CountsAreTheRatingsAtAGlance) {
    Books books;
    QStringList paths;
    std::vector<std::unique_ptr<GradeBook>> made;
    for (int b = 0; b < 3; ++b) {
        auto book = MakeBook({u"1組", {}, {}});
        const int pupils = 12 + 9 * b;
        book->RosterSize = static_cast<int16_t>(pupils);
        for (int n = 0; n < pupils; ++n)
            book->StudentNames[n] = n % 7 == 3 ? QString() : QStringLiteral("P%1").arg(n);
        for (int s = 0; s < kSubjects; ++s)
            for (int c = 0; c < kViewpoints; ++c) {
                auto& scores = book->Scores[YearAggregateSlot(s, c)];
                scores[kAverageColumn] = 1;
                scores[kPointsColumn] = 120;
                book->RankAPercent[3][CriteriaIndex(s, c)] = static_cast<int16_t>(10 + 5 * c);
                for (int n = 0; n < pupils; ++n)
                    scores[n] = static_cast<float>((n * 37 + s * 11 + c * 5 + b) % 121) +
                                (n % 5 == 0 ? kAbsentMarker : 0);
            }
        paths << books.Write(QStringLiteral("book%1.txt").arg(b), *book);
        made.push_back(std::move(book));
    }
    const GradeSummary summary = SummariseBooks(paths, kSummaryYear);
    ASSERT_EQ(summary.classes.size(), 3u);
    int rated = 0;
    for (size_t b = 0; b < made.size(); ++b) {
        Grid overview(43, 15);
        Session session;
        QString caption;
        ShowRatingsOverviewTable(*made[b], session, overview, caption);
        for (int k = 0; k < kSummaryViewpoints; ++k) {
            std::array<int, 3> counts{};
            for (int r = 1; r <= made[b]->RosterSize; ++r)
                if (const QString& rating = overview.Text(r, 2 + k); !rating.isEmpty())
                    ++counts[rating[0].unicode() - u'A'];
            EXPECT_EQ(summary.classes[b].viewpoints[k].counts, counts) << b << " " << k;
            rated += counts[0] + counts[1] + counts[2];
        }
    }
    EXPECT_GT(rated, 0);
}

TEST(GradeSummary, UnreadableFilesAreListedAndTheRestSummarised) {
    Books books;
    const QString good = books.Write(u"1組.txt"_s, *MakeBook(kClass1));
    QByteArray truncated = GradeBookFileBytes(*MakeBook(kClass2));
    truncated.truncate(truncated.size() / 2);
    QDir(books.dir.path()).mkdir(QStringLiteral("folder.txt"));
    const struct {
        const char* what;
        QString path;
    } cases[] = {
        {"damaged", books.WriteBytes(QStringLiteral("damaged.txt"), truncated)},
        {"not a book", books.WriteBytes(QStringLiteral("memo.txt"), "shopping list\r\n")},
        {"missing", books.dir.filePath(QStringLiteral("gone.txt"))},
        {"a folder", books.dir.filePath(QStringLiteral("folder.txt"))},
    };
    for (const auto& c : cases) {
        const GradeSummary summary = SummariseBooks({c.path, good}, kSummaryYear);
        ASSERT_EQ(summary.classes.size(), 1u) << c.what;
        EXPECT_EQ(summary.classes[0].path, good);
        ASSERT_EQ(summary.unread.size(), 1u) << c.what;
        EXPECT_FALSE(summary.unread[0].reason.isEmpty()) << c.what;
        const QStringList notes = SummaryNoteLines(summary);
        ASSERT_EQ(notes.size(), 1);
        EXPECT_TRUE(notes[0].contains(QFileInfo(c.path).fileName())) << c.what;
        EXPECT_TRUE(SummaryEmptyMessage(summary).isEmpty());
        // Only unreadable files: a message and no table.
        const GradeSummary none = SummariseBooks({c.path}, kSummaryYear);
        EXPECT_TRUE(none.classes.empty());
        EXPECT_TRUE(SummaryEmptyMessage(none).contains(summary.unread[0].reason)) << c.what;
    }
    EXPECT_EQ(SummaryEmptyMessage(SummariseBooks({}, kSummaryYear)),
              u"集計する成績ファイルが選ばれていません。"_s);
}

// A copy of a class's book is shown beside it, both marked, and said so under the table.
TEST(GradeSummary, TheSameClassTwiceIsMarked) {
    Books books;
    const QStringList paths = books.WriteAll(
        {{u"1組.txt", kClass1}, {u"2組.txt", kClass2}, {u"1組のコピー.txt", kClass1}});
    const GradeSummary summary = SummariseBooks(paths, kSummaryYear);
    Grid grid;
    QString caption;
    ShowGradeSummaryTable(summary, grid, caption);
    EXPECT_EQ(grid.Text(1, 1), u"令和6年度 5年1組 山田花子（1組.txt）"_s);
    EXPECT_EQ(grid.Text(2, 1), u"令和6年度 5年2組 山田花子"_s);
    EXPECT_EQ(grid.Text(3, 1), u"令和6年度 5年1組 山田花子（1組のコピー.txt）"_s);
    EXPECT_EQ(grid.Text(4, 2), QStringLiteral("8"));
    // The class column holds the longest label: 17 Japanese characters and 11 others.
    EXPECT_GE(grid.ColWidth(1), 17 * 225 + 11 * 105);
    EXPECT_EQ(SummaryNoteLines(summary),
              QStringList{u"令和6年度 5年1組 の成績ファイルが 2 冊あります（1組.txt、"
                          u"1組のコピー.txt）。学年全体にはどれも数えています。"_s});
}
