#include "gradesummary.h"

#include "model/gradebookfile.h"
#include "model/numbers.h"
#include "tables.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

const QChar kCR(13);

int RatingIndex(const QString& rating) {
    if (rating.size() != 1)
        return -1;
    const char16_t ch = rating[0].unicode();
    return ch >= u'A' && ch <= u'C' ? ch - u'A' : -1;
}

QString FileNameOf(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

// Year, grade and class as a duplicate is told by: the texts without surrounding blanks.
QString ClassKey(const ClassSummary& row) {
    return row.year.trimmed() + u'\n' + row.grade.trimmed() + u'\n' + row.klass.trimmed();
}

} // namespace

QString SummaryPeriodLabel(int period) {
    switch (period) {
    case 0:
        return u"一学期"_s;
    case 1:
        return u"二学期"_s;
    case 2:
        return u"三学期"_s;
    default:
        return u"学年"_s;
    }
}

std::optional<double> ViewpointSummary::AveragePercent() const {
    if (!registered || pupils == 0)
        return std::nullopt;
    return 100.0 * ratioSum / pupils;
}

void ViewpointSummary::Add(const ViewpointSummary& other) {
    if (!other.registered)
        return;
    registered = true;
    ratioSum += other.ratioSum;
    pupils += other.pupils;
    for (int k = 0; k < 3; ++k)
        counts[k] += other.counts[k];
}

GradeSummaryReader::GradeSummaryReader(int period)
    : book_(std::make_unique<GradeBook>()), table_(43, 15) {
    summary_.period = std::clamp(period, 0, kSummaryYear);
    summary_.whole.heading = u"学年全体"_s;
}

GradeSummaryReader::~GradeSummaryReader() = default;

void GradeSummaryReader::Add(const QString& path) {
    GradeBook& book = *book_;
    // The reader fills only what the file holds, so every book starts from the defaults.
    ResetGradeBook(book);
    QString error;
    if (!ReadGradeBookFile(path, book, &error)) {
        summary_.unread.push_back({path, error});
        return;
    }

    ClassSummary row;
    row.path = path;
    row.year = book.HomeRoomYear;
    row.grade = book.HomeRoomGrade;
    row.klass = book.HomeRoomClass;
    row.heading = book.HomeRoomYear + u' ' + book.HomeRoomGrade + book.HomeRoomClass + u' ' +
                  book.TeacherName;
    row.pupils = CountEnrolled(book);

    const int period = summary_.period;
    const int n = std::clamp<int>(book.RosterSize, 0, kMaxPupils);
    for (int s = 0; s < kSubjects; ++s) {
        // The ratings are read from the very table the book shows for the subject and period.
        session_.CurrentSubject = static_cast<int16_t>(s);
        session_.CurrentSemester = static_cast<int16_t>(std::min(period, kSemesters - 1));
        QString caption;
        if (period == kSummaryYear)
            ShowAnnualSubjectTable(book, session_, table_, caption);
        else
            ShowSemesterSubjectTable(book, session_, table_, caption);
        for (int c = 0; c < kViewpoints; ++c) {
            const int slot = period == kSummaryYear ? YearAggregateSlot(s, c)
                                                    : SemesterAggregateSlot(period, s, c);
            const auto& scores = book.Scores[slot];
            ViewpointSummary& v = row.viewpoints[s * kViewpoints + c];
            // A negative class average: nothing registered, and the table shows nothing.
            v.registered = scores[kAverageColumn] >= 0;
            if (!v.registered)
                continue;
            for (int r = 1; r <= n; ++r) {
                if (!HasName(book, r))
                    continue;
                if (const int k = RatingIndex(table_.Text(r, 4 + 3 * c)); k >= 0)
                    ++v.counts[k];
                if (const auto share = PupilShare(book, period, s, c, r)) {
                    v.ratioSum += *share;
                    ++v.pupils;
                }
            }
        }
    }

    if (!haveTitles_) {
        for (int s = 0; s < kSubjects; ++s)
            for (int k = 0; k <= kViewpoints; ++k)
                summary_.titles[s][k] = book.SubjectTitles[s][k];
        haveTitles_ = true;
    } else {
        bool same = true;
        for (int s = 0; s < kSubjects; ++s)
            for (int k = 0; k <= kViewpoints; ++k)
                same = same && summary_.titles[s][k] == book.SubjectTitles[s][k];
        if (!same)
            summary_.notes << u"「%1」は教科名か観点名が最初の成績ファイルと違います"
                              u"（列の名前は最初の成績ファイルのものです）。"_s.arg(
                                  FileNameOf(path));
    }
    summary_.classes.push_back(std::move(row));
}

GradeSummary GradeSummaryReader::Finish() {
    QHash<QString, QList<int>> byClass;
    QStringList order;
    for (int i = 0; i < static_cast<int>(summary_.classes.size()); ++i) {
        const QString key = ClassKey(summary_.classes[i]);
        if (!byClass.contains(key))
            order << key;
        byClass[key] << i;
    }
    for (const QString& key : order) {
        const QList<int>& rows = byClass[key];
        if (rows.size() < 2)
            continue;
        QStringList files;
        for (const int i : rows) {
            summary_.classes[i].duplicate = true;
            files << FileNameOf(summary_.classes[i].path);
        }
        const ClassSummary& first = summary_.classes[rows.first()];
        summary_.notes
            << u"%1 の成績ファイルが %2 冊あります（%3）。学年全体にはどれも数えています。"_s
                   .arg(first.year + u' ' + first.grade + first.klass)
                   .arg(rows.size())
                   .arg(files.join(u"、"_s));
    }
    ClassSummary& whole = summary_.whole;
    for (const ClassSummary& row : summary_.classes) {
        whole.pupils += row.pupils;
        for (int k = 0; k < kSummaryViewpoints; ++k)
            whole.viewpoints[k].Add(row.viewpoints[k]);
    }
    return std::move(summary_);
}

GradeSummary SummariseBooks(const QStringList& paths, int period) {
    GradeSummaryReader reader(period);
    for (const QString& path : paths)
        reader.Add(path);
    return reader.Finish();
}

std::optional<double> PupilShare(const GradeBook& book, int period, int subject, int viewpoint,
                                 int number) {
    if (number < 1 || number > kMaxPupils || subject < 0 || subject >= kSubjects || viewpoint < 0 ||
        viewpoint >= kViewpoints)
        return std::nullopt;
    const bool year = period == kSummaryYear;
    const int first = year ? 0 : std::clamp(period, 0, kSemesters - 1);
    const int last = year ? kSemesters - 1 : first;
    const auto& aggregate = book.Scores[year ? YearAggregateSlot(subject, viewpoint)
                                             : SemesterAggregateSlot(first, subject, viewpoint)];
    const float total = aggregate[number - 1];
    if (!(total >= 0))
        return std::nullopt;
    // The aggregate's points less those of the registered tests the pupil did not take.
    double points = aggregate[kPointsColumn];
    for (int j = first; j <= last; ++j)
        for (int t = 0; t < kTestsPerSemester; ++t) {
            const auto& test = book.Scores[TestSlot(j, subject, t, viewpoint)];
            const float score = test[number - 1];
            if (test[kPointsColumn] > 0 && (score == kAbsent || score == kNoData))
                points -= test[kPointsColumn];
        }
    if (!(points > 0))
        return std::nullopt;
    return WithoutAbsentMarker(total) / points;
}

std::vector<int> SummarySubjects(const GradeSummary& summary) {
    std::vector<int> subjects;
    for (int s = 0; s < kSubjects; ++s)
        for (int c = 0; c < kViewpoints; ++c)
            if (summary.whole.viewpoints[s * kViewpoints + c].registered) {
                subjects.push_back(s);
                break;
            }
    return subjects;
}

QString SummaryClassLabel(const ClassSummary& row) {
    if (!row.duplicate)
        return row.heading;
    return row.heading + u"（"_s + FileNameOf(row.path) + u"）"_s;
}

int ShowGradeSummaryTable(const GradeSummary& summary, Grid& grid, QString& caption) {
    constexpr int kFirst = 3;
    const std::vector<int> subjects = SummarySubjects(summary);
    const int cols = kFirst + 4 * kViewpoints * static_cast<int>(subjects.size());
    const int classes = static_cast<int>(summary.classes.size());
    // The same texts in every regional setting, as the book's own tables and files.
    const QLocale locale = QLocale::c();

    // The caption names the year and grade when every class shares them.
    QString common;
    if (!summary.classes.empty()) {
        const ClassSummary& first = summary.classes.front();
        const bool shared =
            std::all_of(summary.classes.begin(), summary.classes.end(), [&](const auto& row) {
                return row.year == first.year && row.grade == first.grade;
            });
        if (shared)
            common = (first.year + u' ' + first.grade).trimmed() + QChar(0x3000);
    }
    caption = common + u"学年の集計　"_s + SummaryPeriodLabel(summary.period) +
              u"　%1学級"_s.arg(classes);

    grid = Grid(classes + 2, cols);
    // The class column holds its longest label whole, on screen and in a workbook (a Japanese
    // character some 15 pixels, a Latin one 7).
    int labelWidth = 3600;
    for (const ClassSummary& row : summary.classes) {
        int width = 240;
        for (const QChar ch : SummaryClassLabel(row))
            width += ch.isLowSurrogate() ? 0 : ch.unicode() < 0x80 ? 105 : 225;
        labelWidth = std::max(labelWidth, width);
    }
    grid.SetColWidth(0, 400);
    grid.SetColWidth(1, labelWidth);
    grid.SetColWidth(2, 600);
    grid.SetColAlignment(2, kAlignRightCenter);
    grid.SetText(0, 0, QStringLiteral("No."));
    grid.SetText(0, 1, u"学級"_s);
    grid.SetText(0, 2, u"人数"_s);
    const QString words[4] = {u"平均 %"_s, QStringLiteral("A"), QStringLiteral("B"),
                              QStringLiteral("C")};
    for (size_t i = 0; i < subjects.size(); ++i)
        for (int c = 0; c < kViewpoints; ++c)
            for (int k = 0; k < 4; ++k) {
                const int s = subjects[i];
                const int col = kFirst + 4 * (static_cast<int>(i) * kViewpoints + c) + k;
                grid.SetColWidth(col, k == 0 ? 700 : 450);
                grid.SetColAlignment(col, kAlignRightCenter);
                grid.SetText(
                    0, col, summary.titles[s][0] + kCR + summary.titles[s][c + 1] + kCR + words[k]);
            }

    // Each number is shown as the book's tables show theirs and held as the number shown.
    const auto number = [&](int r, int col, double value, int decimals) {
        grid.SetCell(r, col, FormatFixed(value, decimals, locale),
                     CellValue::Number(RoundFixed(value, decimals), decimals, false));
    };
    auto showRow = [&](int r, const ClassSummary& row, const QString& label) {
        grid.SetText(r, 1, label);
        number(r, 2, row.pupils, 0);
        for (size_t i = 0; i < subjects.size(); ++i)
            for (int c = 0; c < kViewpoints; ++c) {
                const ViewpointSummary& v = row.viewpoints[subjects[i] * kViewpoints + c];
                if (!v.registered)
                    continue;
                const int col = kFirst + 4 * (static_cast<int>(i) * kViewpoints + c);
                if (const auto average = v.AveragePercent())
                    number(r, col, *average, 1);
                for (int j = 0; j < 3; ++j)
                    number(r, col + 1 + j, v.counts[j], 0);
            }
    };
    for (int i = 0; i < classes; ++i) {
        number(i + 1, 0, i + 1, 0);
        showRow(i + 1, summary.classes[i], SummaryClassLabel(summary.classes[i]));
    }
    showRow(classes + 1, summary.whole, summary.whole.heading);
    return cols;
}

QStringList SummaryNoteLines(const GradeSummary& summary) {
    QStringList lines;
    for (const UnreadBook& book : summary.unread)
        lines << u"読み込めなかったファイル「%1」: %2"_s.arg(FileNameOf(book.path), book.reason);
    lines += summary.notes;
    return lines;
}

QString SummaryEmptyMessage(const GradeSummary& summary) {
    if (!summary.classes.empty())
        return QString();
    if (summary.unread.empty())
        return u"集計する成績ファイルが選ばれていません。"_s;
    return u"読み込める成績ファイルがありませんでした。"_s + u'\n' +
           SummaryNoteLines(summary).join(u'\n');
}

} // namespace kirune
