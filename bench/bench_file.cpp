// Reading and writing the grade book file: a full class (40 pupils, every test of every subject
// registered), beside the floor of moving the same bytes without parsing or formatting them.
// The files live in a temporary folder (TMPDIR). A save flushes the file to disk before renaming
// it, so on a real disk the flush dominates both the save and its floor; with TMPDIR=/dev/shm
// the numbers show the program's own cost.
#include "model/gradebook.h"
#include "model/gradebookfile.h"
#include "model/safefile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <random>

namespace {

using namespace kirune;

QString U(const char16_t* text) {
    return QString::fromUtf16(text);
}

// A class as a year of teaching leaves it: every test of every subject in every semester
// registered, with marks, a few absences, class averages and the aggregates.
std::unique_ptr<GradeBook> FullBook() {
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    book->HomeRoomYear = U(u"令和6年度");
    book->HomeRoomGrade = U(u"5年");
    book->HomeRoomClass = U(u"2組");
    book->TeacherName = U(u"髙橋 一郎");
    book->RosterSize = kMaxPupils;
    const char16_t* family[] = {u"青木", u"井上", u"宇野", u"遠藤", u"小川",
                                u"加藤", u"木村", u"工藤", u"小林", u"佐藤"};
    const char16_t* given[] = {u"太郎", u"花子", u"一郎", u"ﾐｷ"};
    for (int n = 0; n < kMaxPupils; ++n)
        book->StudentNames[n] = U(family[n % 10]) + u' ' + U(given[n / 10]);
    for (int p = 0; p < kCriteriaPeriods; ++p)
        for (int c = 0; c < kCriteriaColumns; ++c) {
            book->RankAPercent[p][c] = 20;
            book->RankCPercent[p][c] = 40;
        }

    std::mt19937 random(20240401);
    std::uniform_int_distribution<int> mark(0, 100);
    std::uniform_int_distribution<int> percent(0, 99);
    for (int j = 0; j < kSemesters; ++j)
        for (int s = 0; s < kSubjects; ++s) {
            for (int t = 0; t < kTestsPerSemester; ++t) {
                for (int v = 0; v < 4; ++v) {
                    const int slot = TestSlot(j, s, t, v);
                    const float points = v == 3 ? 90.0f : 30.0f;
                    float sum = 0;
                    int counted = 0;
                    for (int n = 0; n < kMaxPupils; ++n) {
                        float score = static_cast<float>(mark(random) * points / 100);
                        if (percent(random) < 3)
                            score = kAbsent;
                        book->Scores[slot][n] = score;
                        if (score >= 0) {
                            sum += score;
                            ++counted;
                        }
                    }
                    book->Scores[slot][kAverageColumn] = sum / static_cast<float>(counted);
                    book->Scores[slot][kCountColumn] = static_cast<float>(counted);
                    book->Scores[slot][kPointsColumn] = points;
                }
                book->TestInfo[TestSlot(j, s, t, 0)][0] =
                    QStringLiteral("2024/%1/%2").arg(4 + j * 4 + t / 4).arg(10 + t);
                book->TestInfo[TestSlot(j, s, t, 0)][1] = U(u"単元テスト") + QString::number(t + 1);
            }
            for (int v = 0; v < 4; ++v) {
                const int slot = SemesterAggregateSlot(j, s, v);
                for (int n = 0; n < kMaxPupils; ++n) {
                    float sum = 0;
                    bool absent = false;
                    for (int t = 0; t < kTestsPerSemester; ++t) {
                        const float score = book->Scores[TestSlot(j, s, t, v)][n];
                        absent = absent || score == kAbsent;
                        sum += score > 0 ? score : 0;
                    }
                    book->Scores[slot][n] = sum + (absent ? kAbsentMarker : 0);
                }
                book->Scores[slot][40] = 0;
                book->Scores[slot][41] = 0;
                book->Scores[slot][kAverageColumn] = 187.35f;
                book->Scores[slot][kCountColumn] = 400;
                book->Scores[slot][kPointsColumn] = v == 3 ? 900 : 300;
            }
        }
    for (int s = 0; s < kSubjects; ++s)
        for (int v = 0; v < 4; ++v) {
            const int slot = YearAggregateSlot(s, v);
            for (int n = 0; n < kMaxPupils; ++n) {
                float sum = 0;
                for (int j = 0; j < kSemesters; ++j)
                    sum += WithoutAbsentMarker(book->Scores[SemesterAggregateSlot(j, s, v)][n]);
                book->Scores[slot][n] = sum;
            }
            book->Scores[slot][kAverageColumn] = 562.05f;
            book->Scores[slot][kCountColumn] = 1200;
            book->Scores[slot][kPointsColumn] = v == 3 ? 2700 : 900;
        }
    return book;
}

struct Files {
    QTemporaryDir folder;
    QString source = folder.filePath(QStringLiteral("full.txt"));
    QString target = folder.filePath(QStringLiteral("copy.txt"));
    QByteArray bytes;

    Files() {
        bytes = GradeBookFileBytes(*FullBook());
        QFile file(source);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
    }
};

void Check(benchmark::State& state, bool ok, const QString& error) {
    if (!ok)
        state.SkipWithError(error.toStdString().c_str());
}

// The Open and Save commands: the file read into a book, the book saved with its backup.
void BM_FullBookReadAndWrite(benchmark::State& state) {
    Files files;
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    QString error;
    for (auto _ : state) {
        Check(state, ReadGradeBookFile(files.source, *book, &error), error);
        Check(state, WriteGradeBookFile(files.target, *book, &error), error);
    }
    state.SetBytesProcessed(state.iterations() * files.bytes.size() * 2);
}
BENCHMARK(BM_FullBookReadAndWrite)->Unit(benchmark::kMicrosecond);

// The floor beside it: the same bytes read from the file and saved the same safe way (temporary
// file, backup copy, rename), without parsing or formatting.
void BM_FloorReadAndSaveBytes(benchmark::State& state) {
    Files files;
    QString error;
    for (auto _ : state) {
        QFile file(files.source);
        if (!file.open(QIODevice::ReadOnly))
            std::abort();
        const QByteArray bytes = file.readAll();
        Check(state, SaveWithBackup(files.target, bytes, &error), error);
    }
    state.SetBytesProcessed(state.iterations() * files.bytes.size() * 2);
}
BENCHMARK(BM_FloorReadAndSaveBytes)->Unit(benchmark::kMicrosecond);

// The plain floor: read the bytes and write them to a file with QFile, nothing else.
void BM_FloorPlainReadAndWrite(benchmark::State& state) {
    Files files;
    for (auto _ : state) {
        QFile in(files.source);
        if (!in.open(QIODevice::ReadOnly))
            std::abort();
        const QByteArray bytes = in.readAll();
        QFile out(files.target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(bytes) != bytes.size())
            std::abort();
    }
    state.SetBytesProcessed(state.iterations() * files.bytes.size() * 2);
}
BENCHMARK(BM_FloorPlainReadAndWrite)->Unit(benchmark::kMicrosecond);

// The parsing and formatting alone, in memory.
void BM_FullBookParse(benchmark::State& state) {
    const QByteArray bytes = GradeBookFileBytes(*FullBook());
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    QString error;
    for (auto _ : state)
        Check(state, ParseGradeBookFile(bytes, *book, &error), error);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_FullBookParse)->Unit(benchmark::kMicrosecond);

void BM_FullBookFormat(benchmark::State& state) {
    const auto book = FullBook();
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray bytes = GradeBookFileBytes(*book);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_FullBookFormat)->Unit(benchmark::kMicrosecond);

} // namespace
