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

// The rank and rating cells of the ranked and rated pupils (the others stay empty).
void SetRankAndRatingCells(Grid& grid, const AggregateResult& result, int rows, int rankCol,
                           int ratingCol) {
    for (int r = 1; r <= rows; ++r) {
        const PupilResult& pupil = result.pupils[r - 1];
        if (pupil.rank > 0)
            SetRankCell(grid, r, rankCol, pupil.rank);
        if (pupil.rating != 0)
            grid.SetCell(r, ratingCol, RatingText(pupil.rating), CellValue::Rating());
    }
}

// Layout shared by the semester and whole-year tables of `period` (0..2 a semester, 3 the year).
void ShowSubjectSumTable(const GradeBook& book, Session& session, Grid& grid, QString& caption,
                         const QString& captionText, int period) {
    const int subject = session.CurrentSubject;
    const int n = RosterRows(book);
    const QLocale locale = RegionalLocale();

    caption = captionText;

    grid.SetRows(n + 3);
    session.ShownColumnCount = 13;
    grid.SetColWidth(0, 400);
    grid.SetColWidth(1, 1600);

    EmptyScoreArea(grid, n + 2);

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

    const SubjectResults results = SubjectResultsOf(book, subject, period);
    for (int r = 1; r <= n; ++r)
        for (int c = 0; c <= kViewpoints; ++c)
            if (const PupilResult& pupil = results.aggregates[c].pupils[r - 1]; pupil.named)
                SetSumCell(grid, r, 2 + 3 * c, pupil.stored, locale);

    for (int c = 0; c <= kViewpoints; ++c)
        SetSumCell(grid, n + 2, 2 + 3 * c, results.aggregates[c].average, locale);

    for (int c = 0; c <= kViewpoints; ++c)
        SetRankAndRatingCells(grid, results.aggregates[c], n, 3 + 3 * c, 4 + 3 * c);
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

    const std::array<int, kMaxPupils> ranks = TestTotalRanks(book, t + kViewpoints);
    for (int r = 1; r <= n; ++r)
        if (ranks[r - 1] > 0)
            SetRankCell(grid, r, 6, ranks[r - 1]);
}

void ShowSemesterSubjectTable(const GradeBook& book, Session& session, Grid& grid,
                              QString& caption) {
    const int subject = session.CurrentSubject;
    const int semester = session.CurrentSemester;
    if (!ValidSubject(subject) || !ValidSemester(semester))
        return;
    const QString text = HomeRoomHeading(book) + kIdeographicSpace +
                         book.SubjectTitles[subject][0] + kIdeographicSpace +
                         book.SemesterNames[semester];
    ShowSubjectSumTable(book, session, grid, caption, text, semester);
}

void ShowAnnualSubjectTable(const GradeBook& book, Session& session, Grid& grid, QString& caption) {
    const int subject = session.CurrentSubject;
    if (!ValidSubject(subject))
        return;
    const QString text = HomeRoomHeading(book) + kIdeographicSpace + book.SubjectTitles[subject][0];
    ShowSubjectSumTable(book, session, grid, caption, text, kSemesters);
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

    SetRankAndRatingCells(grid, AggregateResultOf(book, g, &cutoffs), n, 13, 14);
}

namespace {

// What the subject results are computed from: the sums of every period, the names and the
// roster, the criteria.
size_t SubjectResultsKey(const GradeBook& book) {
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
    mix(qHashBits(&book.RankAPercent, sizeof(book.RankAPercent)));
    mix(qHashBits(&book.RankCPercent, sizeof(book.RankCPercent)));
    return key;
}

QString YearLabel() {
    return u"学年"_s;
}

// A rating as the record and the overview show it: marked "C＊" when the sum it rates includes an
// absence.
QString MarkedRatingText(const PupilResult& pupil) {
    return pupil.absenceIncluded ? RatingText(pupil.rating) + kAbsenceMark
                                 : RatingText(pupil.rating);
}

} // namespace

void SubjectTableCache::Follow(const GradeBook& book) {
    constexpr int kTables = kSubjects * (kSemesters + 1);
    const size_t key = SubjectResultsKey(book);
    if (results_.empty() || key != key_) {
        key_ = key;
        results_.assign(kTables, std::nullopt);
    }
}

const SubjectResults& SubjectTableCache::Results(const GradeBook& book, int subject, int period) {
    const int s = std::clamp(subject, 0, kSubjects - 1);
    const int p = std::clamp(period, 0, kSemesters);
    std::optional<SubjectResults>& kept = results_[s * (kSemesters + 1) + p];
    if (!kept)
        kept = SubjectResultsOf(book, s, p);
    return *kept;
}

namespace {

// Under a pupil's record: the comment of the period chosen in the comment editor, wrapped within
// the page, in note rows (none without a comment).
void AddCommentRows(const GradeBook& book, const Session& session, int n, Grid& grid) {
    constexpr int kRecordCommentWidth = 96; // half-width places: the record's width on A4
    const int period = std::clamp<int>(session.CommentPeriod, 0, kCommentPeriods - 1);
    if (n < 1 || book.Comments[n - 1][period].isEmpty())
        return;
    grid.AddNoteRow(u"所見（%1）"_s.arg(CommentPeriodName(book, period)));
    for (const QString& line : WrapComment(book.Comments[n - 1][period], kRecordCommentWidth))
        grid.AddNoteRow(line);
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
    SubjectTableCache& kept = cache ? *cache : own;
    kept.Follow(book);
    const QLocale locale = RegionalLocale();
    bool marked = false;
    for (int s = 0; s < kSubjects; ++s) {
        const int first = 1 + s * (kViewpoints + 1);
        for (int c = 0; c <= kViewpoints; ++c) {
            grid.SetText(first + c, 0, book.SubjectTitles[s][0]);
            grid.SetText(first + c, 1, c < kViewpoints ? book.SubjectTitles[s][c + 1] : u"合計"_s);
        }
        if (n < 1 || n > RosterRows(book))
            continue;
        for (int p = 0; p <= kSemesters; ++p) {
            const SubjectResults& results = kept.Results(book, s, p);
            for (int c = 0; c <= kViewpoints; ++c) {
                const PupilResult& pupil = results.aggregates[c].pupils[n - 1];
                if (!pupil.named)
                    continue;
                const int row = first + c;
                const int col = 2 + 3 * p;
                SetSumCell(grid, row, col, pupil.stored, locale);
                if (pupil.rank > 0)
                    SetRankCell(grid, row, col + 1, pupil.rank);
                if (pupil.rating != 0) {
                    grid.SetCell(row, col + 2, MarkedRatingText(pupil), CellValue::Rating());
                    marked = marked || pupil.absenceIncluded;
                }
            }
        }
    }
    if (marked)
        grid.AddNoteRow(AbsenceMarkNote());
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
    bool marked = false;
    for (int s = 0; s < kSubjects; ++s) {
        const SubjectResults results = SubjectResultsOf(book, s, kSemesters);
        for (int c = 0; c < kViewpoints; ++c) {
            const int col = 2 + s * kViewpoints + c;
            grid.SetColWidth(col, 600);
            grid.SetColAlignment(col, kAlignRightCenter);
            grid.SetText(0, col, book.SubjectTitles[s][0] + kCR + book.SubjectTitles[s][c + 1]);
            int count[3] = {0, 0, 0};
            for (int r = 1; r <= n; ++r) {
                const PupilResult& pupil = results.aggregates[c].pupils[r - 1];
                if (pupil.rating == 0)
                    continue;
                grid.SetCell(r, col, MarkedRatingText(pupil), CellValue::Rating());
                ++count[pupil.rating - u'A'];
                marked = marked || pupil.absenceIncluded;
            }
            for (int k = 0; k < 3; ++k)
                grid.SetCell(n + 2 + k, col, QString::number(count[k]),
                             CellValue::Number(count[k]));
        }
    }
    if (marked)
        grid.AddNoteRow(AbsenceMarkNote());
}

QString AbsenceMarkNote() {
    return u"＊ 欠席した試験を含む評定"_s;
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
