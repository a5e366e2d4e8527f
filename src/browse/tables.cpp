// The test, semester, whole-year and viewpoint tables of the main grid. Each builder writes the
// grid in the same order as the grid on screen is filled, so cells that a step does not touch
// (the number and name columns, the header of column 0, rows beyond the table) keep what the
// previous table left there.
#include "tables.h"

#include "model/comments.h"
#include "rules.h"
#include "tree.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

const QChar kCR(13);                   // line break inside a header cell
const QChar kIdeographicSpace(0x3000); // separator in the frame captions

QString NoLabel() {
    return QStringLiteral("No.");
}
QString AverageLabel() {
    return u"クラスの平均点"_s;
}
QString TotalLabel() {
    return u"合計点"_s;
}
QString RankLabel() {
    return u"順位"_s;
}
QString RatingLabel() {
    return u"評定"_s;
}

int RosterRows(const GradeBook& book) {
    return std::clamp<int>(book.RosterSize, 0, kMaxPupils);
}

bool ValidSubject(int subject) {
    return subject >= 0 && subject < kSubjects;
}
bool ValidSemester(int semester) {
    return semester >= 0 && semester < kSemesters;
}
bool ValidTest(int test) {
    return test >= 0 && test < kTestsPerSemester;
}
bool ValidViewpoint(int viewpoint) {
    return viewpoint >= 0 && viewpoint < kViewpoints;
}

// Every cell of rows 0..lastRow from column 2 to the last column.
void EmptyScoreArea(Grid& grid, int lastRow) {
    for (int r = 0; r <= lastRow; ++r)
        for (int c = 2; c < grid.Cols(); ++c)
            grid.SetText(r, c, QString());
}

void EmptyRowFromColumn2(Grid& grid, int row) {
    for (int c = 2; c < grid.Cols(); ++c)
        grid.SetText(row, c, QString());
}

// Layout shared by the semester and whole-year tables; `aggregates[c]` is the aggregate slot of
// viewpoint c (3 = the subject total), `period` the criteria period of the ratings.
void ShowSubjectSumTable(const GradeBook& book, Session& session, Grid& grid, QString& caption,
                         const QString& captionText, const int (&aggregates)[kViewpoints + 1],
                         int period) {
    const int subject = session.CurrentSubject;
    const int n = RosterRows(book);
    const QLocale locale = RegionalLocale();

    caption = captionText;

    grid.SetRows(n + 3);
    session.ShownColumnCount = 13;
    grid.SetColWidth(0, 400);
    grid.SetColWidth(1, 1600);

    EmptyScoreArea(grid, n + 2);

    ResetNumericRanking(session);

    for (int c = 2; c <= 12; ++c) {
        grid.SetColWidth(c, 800);
        grid.SetColAlignment(c, kAlignRightCenter);
    }

    grid.SetText(0, 0, NoLabel());
    grid.SetText(n + 2, 1, AverageLabel());
    const QString total = kCR + u' ' + TotalLabel();
    const QString rank = kCR + u' ' + RankLabel();
    const QString rating = kCR + u' ' + RatingLabel();
    for (int c = 0; c < kViewpoints; ++c) {
        const QString& name = book.SubjectTitles[subject][c + 1];
        grid.SetText(0, 2 + 3 * c, name + total);
        grid.SetText(0, 3 + 3 * c, name + rank);
        grid.SetText(0, 4 + 3 * c, name + rating);
    }
    const QString& subjectName = book.SubjectTitles[subject][0];
    grid.SetText(0, 11, subjectName + total);
    grid.SetText(0, 12, subjectName + rank);
    EmptyRowFromColumn2(grid, n + 2);

    for (int r = 1; r <= n; ++r) {
        if (!HasName(book, r))
            continue;
        for (int c = 0; c <= kViewpoints; ++c)
            SetSumCell(grid, r, 2 + 3 * c, book.Scores[aggregates[c]][r - 1], locale);
    }

    for (int c = 0; c <= kViewpoints; ++c)
        SetSumCell(grid, n + 2, 2 + 3 * c, book.Scores[aggregates[c]][kAverageColumn], locale);

    for (int c = 0; c <= kViewpoints; ++c) {
        if (c < kViewpoints) {
            const RatingCutoffs cutoffs = CutoffsFor(
                book, period, subject, c, book.Scores[aggregates[c]][kPointsColumn], false);
            RankNumeric(book, session, grid, aggregates[c], 3 + 3 * c, 4 + 3 * c, &cutoffs);
        } else {
            RankNumeric(book, session, grid, aggregates[c], 3 + 3 * c, -1, nullptr);
        }
    }
}

} // namespace

QString ViewpointTestHeader(const QString& testName, const QString& dateText) {
    QString header = testName;
    header.replace(QStringLiteral("  "), QStringLiteral(" "));
    header.replace(u' ', kCR);
    return header + kCR + dateText;
}

void ShowTestTable(const GradeBook& book, Session& session, Grid& grid, QString& caption) {
    const int subject = session.CurrentSubject;
    const int semester = session.CurrentSemester;
    const int test = session.CurrentTest;
    if (!ValidSubject(subject) || !ValidSemester(semester) || !ValidTest(test))
        return;
    const int t = TestSlot(semester, subject, test, 0);
    const int n = RosterRows(book);

    caption = HomeRoomHeading(book) + kIdeographicSpace + book.SubjectTitles[subject][0] +
              kIdeographicSpace + book.TestInfo[t][0] + u' ' + book.TestInfo[t][1];

    grid.SetRows(n + 3);
    session.ShownColumnCount = 7;
    grid.SetColWidth(0, 400);
    grid.SetColWidth(1, 1600);
    grid.SetText(0, 0, NoLabel());

    EmptyScoreArea(grid, n + 2);

    for (int c = 2; c <= 6; ++c) {
        grid.SetColWidth(c, 800);
        grid.SetColAlignment(c, kAlignRightCenter);
    }

    for (int c = 0; c < kViewpoints; ++c)
        grid.SetText(0, 2 + c, book.SubjectTitles[subject][c + 1]);
    EmptyRowFromColumn2(grid, n + 2);
    grid.SetText(0, 5, TotalLabel());
    grid.SetText(0, 6, RankLabel());

    for (int r = 1; r <= n; ++r) {
        if (!HasName(book, r))
            continue;
        for (int c = 0; c <= kViewpoints; ++c)
            SetScoreCell(grid, r, 2 + c, RoundHalfEvenInt16(book.Scores[t + c][r - 1]));
    }

    grid.SetText(n + 2, 1, AverageLabel());
    for (int c = 0; c <= kViewpoints; ++c)
        SetSumCell(grid, n + 2, 2 + c, book.Scores[t + c][kAverageColumn], RegionalLocale());

    RankText(book, session, grid, 5, 6);
}

void ShowSemesterSubjectTable(const GradeBook& book, Session& session, Grid& grid,
                              QString& caption) {
    const int subject = session.CurrentSubject;
    const int semester = session.CurrentSemester;
    if (!ValidSubject(subject) || !ValidSemester(semester))
        return;
    const int aggregates[kViewpoints + 1] = {
        SemesterAggregateSlot(semester, subject, 0), SemesterAggregateSlot(semester, subject, 1),
        SemesterAggregateSlot(semester, subject, 2), SemesterAggregateSlot(semester, subject, 3)};
    const QString text = HomeRoomHeading(book) + kIdeographicSpace +
                         book.SubjectTitles[subject][0] + kIdeographicSpace +
                         book.SemesterNames[semester];
    ShowSubjectSumTable(book, session, grid, caption, text, aggregates, semester);
}

void ShowAnnualSubjectTable(const GradeBook& book, Session& session, Grid& grid, QString& caption) {
    const int subject = session.CurrentSubject;
    if (!ValidSubject(subject))
        return;
    const int aggregates[kViewpoints + 1] = {
        YearAggregateSlot(subject, 0), YearAggregateSlot(subject, 1), YearAggregateSlot(subject, 2),
        YearAggregateSlot(subject, 3)};
    const QString text = HomeRoomHeading(book) + kIdeographicSpace + book.SubjectTitles[subject][0];
    ShowSubjectSumTable(book, session, grid, caption, text, aggregates, 3);
}

void ShowViewpointTestTable(const GradeBook& book, Session& session, Grid& grid, QString& caption) {
    const int subject = session.CurrentSubject;
    const int semester = session.CurrentSemester;
    const int v = session.CurrentViewpoint;
    if (!ValidSubject(subject) || !ValidSemester(semester) || !ValidViewpoint(v))
        return;
    const int b = TestSlot(semester, subject, 0, 0);
    const int g = SemesterAggregateSlot(semester, subject, v);
    const int n = RosterRows(book);
    const QLocale locale = RegionalLocale();

    caption = HomeRoomHeading(book) + kIdeographicSpace + book.SubjectTitles[subject][0] +
              kIdeographicSpace + book.SubjectTitles[subject][v + 1];

    grid.SetRows(n + 3);
    session.ShownColumnCount = 15;
    grid.SetColWidth(0, 400);
    grid.SetColWidth(1, 1600);
    grid.SetText(0, 0, NoLabel());

    EmptyScoreArea(grid, n + 2);

    ResetNumericRanking(session);

    // The viewpoint table compares against a whole-number B cut-off.
    const RatingCutoffs cutoffs =
        CutoffsFor(book, semester, subject, v, book.Scores[g][kPointsColumn], true);

    for (int k = 0; k <= 12; ++k) {
        const int col = k + 2;
        grid.SetColWidth(col, k <= 10 ? 1000 : 900);
        grid.SetColAlignment(col, kAlignRightCenter);
        if (k < kTestsPerSemester) {
            const int slot = b + 4 * k;
            grid.SetText(0, col,
                         ViewpointTestHeader(book.TestInfo[slot][1], book.TestInfo[slot][0]));
        } else if (k == 10) {
            grid.SetText(0, col, TotalLabel());
        } else if (k == 11) {
            grid.SetText(0, col, RankLabel());
        } else {
            grid.SetText(0, col, RatingLabel());
        }
    }

    grid.SetText(n + 2, 1, AverageLabel());
    EmptyRowFromColumn2(grid, n + 2);

    // k = 10 is the semester aggregate of the viewpoint.
    for (int r = 1; r <= n; ++r) {
        if (!HasName(book, r))
            continue;
        for (int k = 0; k <= 10; ++k)
            SetScoreCell(grid, r, k + 2, RoundHalfEvenInt16(book.Scores[b + 4 * k + v][r - 1]));
    }

    for (int k = 0; k <= 10; ++k)
        SetSumCell(grid, n + 2, k + 2, book.Scores[b + 4 * k + v][kAverageColumn], locale);

    RankNumeric(book, session, grid, g, 13, 14, &cutoffs);
}

namespace {

// The subject tables the overview is read from, built on a grid and a session of their own, so
// the tables on screen keep theirs.
const Grid& BuildSubjectTable(const GradeBook& book, Session& session, int subject, int period,
                              Grid& grid) {
    session.CurrentSubject = static_cast<int16_t>(subject);
    session.CurrentSemester = static_cast<int16_t>(std::min(period, kSemesters - 1));
    QString caption;
    if (period < kSemesters)
        ShowSemesterSubjectTable(book, session, grid, caption);
    else
        ShowAnnualSubjectTable(book, session, grid, caption);
    return grid;
}

// What the subject tables show of the book: the sums of every period, the names and the roster,
// the criteria and the subjects' and viewpoints' names.
size_t SubjectTablesKey(const GradeBook& book) {
    size_t key = qHash(book.RosterSize);
    const auto mix = [&key](size_t value) { key = key * 1000003u ^ value; };
    for (int s = 0; s < kSubjects; ++s)
        for (int v = 0; v <= kViewpoints; ++v) {
            for (int p = 0; p < kSemesters; ++p) {
                const auto& row = book.Scores[SemesterAggregateSlot(p, s, v)];
                mix(qHashBits(row.data(), sizeof(row)));
            }
            const auto& year = book.Scores[YearAggregateSlot(s, v)];
            mix(qHashBits(year.data(), sizeof(year)));
        }
    for (const QString& name : book.StudentNames)
        mix(qHash(name));
    for (const auto& titles : book.SubjectTitles)
        for (const QString& title : titles)
            mix(qHash(title));
    mix(qHashBits(&book.RankAPercent, sizeof(book.RankAPercent)));
    mix(qHashBits(&book.RankCPercent, sizeof(book.RankCPercent)));
    return key;
}

QString YearLabel() {
    return u"学年"_s;
}

} // namespace

void SubjectTableCache::Follow(const GradeBook& book) {
    constexpr int kTables = kSubjects * (kSemesters + 1);
    const size_t key = SubjectTablesKey(book);
    if (tables_.empty() || key != key_) {
        key_ = key;
        tables_.assign(kTables, Grid(43, 15));
        built_.assign(kTables, false);
    }
}

const Grid& SubjectTableCache::Table(const GradeBook& book, const Session& session, int subject,
                                     int period) {
    const int index = std::clamp(subject, 0, kSubjects - 1) * (kSemesters + 1) +
                      std::clamp(period, 0, kSemesters);
    if (!built_[index]) {
        Session scratch = session;
        BuildSubjectTable(book, scratch, subject, period, tables_[index]);
        built_[index] = true;
    }
    return tables_[index];
}

namespace {

// Under a pupil's record: the comment of the period chosen in the comment editor, wrapped within
// the page, in wide rows (none without a comment).
void AddCommentRows(const GradeBook& book, const Session& session, int n, Grid& grid) {
    constexpr int kRecordCommentWidth = 96; // half-width places: the record's width on A4
    const int period = std::clamp<int>(session.CommentPeriod, 0, kCommentPeriods - 1);
    if (n < 1 || book.Comments[n - 1][period].isEmpty())
        return;
    const QStringList lines = WrapComment(book.Comments[n - 1][period], kRecordCommentWidth);
    const int first = grid.Rows();
    grid.SetRows(first + 1 + static_cast<int>(lines.size()));
    grid.SetSummaryRows(2 + static_cast<int>(lines.size())); // the ratings' last row stays so
    grid.SetText(first, 0, u"所見（%1）"_s.arg(CommentPeriodName(book, period)));
    for (int i = 0; i < lines.size(); ++i)
        grid.SetText(first + 1 + i, 0, lines[i]);
    for (int r = first; r < grid.Rows(); ++r)
        grid.SetWideRow(r);
}

} // namespace

void ShowPupilRecordTable(const GradeBook& book, Session& session, int number, Grid& grid,
                          QString& caption, SubjectTableCache* cache) {
    const int n = std::clamp(number, 0, kMaxPupils);
    caption = HomeRoomHeading(book) + kIdeographicSpace + u"出席番号"_s + NumberText(n) +
              kIdeographicSpace + (n > 0 ? book.StudentNames[n - 1] : QString());
    constexpr int kRows = 1 + kSubjects * (kViewpoints + 1);
    grid.SetRows(kRows);
    session.ShownColumnCount = 14;
    EmptyScoreArea(grid, kRows - 1);
    grid.SetColWidth(0, 900);
    grid.SetColWidth(1, 1600);
    grid.SetText(0, 0, u"教科"_s);
    grid.SetText(0, 1, u"観点"_s);
    for (int p = 0; p <= kSemesters; ++p) {
        const QString period = p < kSemesters ? book.SemesterNames[p] : YearLabel();
        const QString words[] = {TotalLabel(), RankLabel(), RatingLabel()};
        for (int k = 0; k < 3; ++k) {
            const int col = 2 + 3 * p + k;
            grid.SetColWidth(col, 700);
            grid.SetColAlignment(col, kAlignRightCenter);
            grid.SetText(0, col, period + kCR + u' ' + words[k]);
        }
    }
    SubjectTableCache own;
    SubjectTableCache& tables = cache ? *cache : own;
    tables.Follow(book);
    for (int s = 0; s < kSubjects; ++s) {
        const int first = 1 + s * (kViewpoints + 1);
        for (int c = 0; c <= kViewpoints; ++c) {
            grid.SetText(first + c, 0, book.SubjectTitles[s][0]);
            grid.SetText(first + c, 1, c < kViewpoints ? book.SubjectTitles[s][c + 1] : u"合計"_s);
        }
        if (n < 1 || n > RosterRows(book))
            continue;
        for (int p = 0; p <= kSemesters; ++p) {
            const Grid& table = tables.Table(book, session, s, p);
            for (int c = 0; c <= kViewpoints; ++c)
                for (int k = 0; k < (c < kViewpoints ? 3 : 2); ++k)
                    grid.SetCell(first + c, 2 + 3 * p + k, table.Text(n, 2 + 3 * c + k),
                                 table.Value(n, 2 + 3 * c + k));
        }
    }
    AddCommentRows(book, session, n, grid);
}

void ShowRatingsOverviewTable(const GradeBook& book, Session& session, Grid& grid,
                              QString& caption) {
    caption = HomeRoomHeading(book) + kIdeographicSpace + u"評定一覧（学年）"_s;
    const int n = RosterRows(book);
    constexpr int kCols = 2 + kSubjects * kViewpoints;
    // The pupils, an empty row, then the count of each rating a row.
    grid.SetRows(n + 5);
    grid.SetSummaryRows(3);
    grid.SetCols(kCols);
    session.ShownColumnCount = kCols;
    EmptyScoreArea(grid, n + 4);
    grid.SetColWidth(0, 400);
    grid.SetColWidth(1, 1600);
    grid.SetText(0, 0, NoLabel());
    grid.SetText(0, 1, u"生徒氏名"_s);
    for (int r = 1; r <= n; ++r) {
        grid.SetCell(r, 0, NumberText(r), CellValue::Number(r));
        grid.SetText(r, 1, book.StudentNames[r - 1]);
    }
    grid.SetText(n + 1, 0, QString());
    grid.SetText(n + 1, 1, QString());
    for (int k = 0; k < 3; ++k) {
        grid.SetText(n + 2 + k, 0, QString());
        grid.SetText(n + 2 + k, 1, QChar(u'A' + k) + u" の人数"_s);
    }
    Session scratch = session;
    Grid table(43, 15);
    for (int s = 0; s < kSubjects; ++s) {
        BuildSubjectTable(book, scratch, s, kSemesters, table);
        for (int c = 0; c < kViewpoints; ++c) {
            const int col = 2 + s * kViewpoints + c;
            grid.SetColWidth(col, 600);
            grid.SetColAlignment(col, kAlignRightCenter);
            grid.SetText(0, col, book.SubjectTitles[s][0] + kCR + book.SubjectTitles[s][c + 1]);
            int count[3] = {0, 0, 0};
            for (int r = 1; r <= n; ++r) {
                const QString& rating = table.Text(r, 4 + 3 * c);
                grid.SetCell(r, col, rating, table.Value(r, 4 + 3 * c));
                if (rating.size() == 1 && rating[0] >= u'A' && rating[0] <= u'C')
                    ++count[rating[0].unicode() - u'A'];
            }
            for (int k = 0; k < 3; ++k)
                grid.SetCell(n + 2 + k, col, QString::number(count[k]),
                             CellValue::Number(count[k]));
        }
    }
}

QString StandaloneCaption(const GradeBook& book, const QString& key, const QString& caption) {
    if (key == kHomeRoomKey || KeyLevel(key) != 3)
        return caption;
    const int subject = std::clamp(KeyIndex(key, 3), 0, kSubjects - 1);
    const int semester = std::clamp(KeyIndex(key, 5), 0, kSemesters - 1);
    const int viewpoint = std::clamp(KeyIndex(key, 9), 0, kViewpoints - 1);
    return HomeRoomHeading(book) + kIdeographicSpace + book.SubjectTitles[subject][0] +
           kIdeographicSpace + book.SemesterNames[semester] + kIdeographicSpace +
           book.SubjectTitles[subject][viewpoint + 1];
}

void SelectNode(Session& session, const QString& key) {
    const int level = KeyLevel(key);
    if (key == kHomeRoomKey || level < 0 || level > 3)
        return;
    session.CurrentSubject = static_cast<int16_t>(KeyIndex(key, 3));
    if (level >= 1)
        session.CurrentSemester = static_cast<int16_t>(KeyIndex(key, 5));
    if (level >= 2)
        session.CurrentTest = static_cast<int16_t>(KeyIndex(key, 7));
    if (level >= 3)
        session.CurrentViewpoint = static_cast<int16_t>(KeyIndex(key, 9));
}

void ShowNodeTable(const GradeBook& book, Session& session, const QString& key, Grid& grid,
                   QString& caption, SubjectTableCache* cache) {
    if (key == kHomeRoomKey) {
        ShowHomeRoomTable(book, session, grid, caption);
        return;
    }
    switch (KeyLevel(key)) {
    case 0:
        ShowAnnualSubjectTable(book, session, grid, caption);
        break;
    case 1:
        ShowSemesterSubjectTable(book, session, grid, caption);
        break;
    case 2:
        ShowTestTable(book, session, grid, caption);
        break;
    case 3:
        ShowViewpointTestTable(book, session, grid, caption);
        break;
    case 4:
        if (const int pupil = PupilNumberOfKey(key); pupil > 0)
            ShowPupilRecordTable(book, session, pupil, grid, caption, cache);
        else
            ShowRatingsOverviewTable(book, session, grid, caption);
        break;
    default:
        break;
    }
}

} // namespace kirune
