// The grade's summary over many class books: each book read from disk and its row made, one book
// after another, then the table. A grade is 2 to 8 classes, a school a few dozen, a city's office
// may get hundreds. The books are full classes (40 pupils, every test registered), each with marks
// of its own. Reading should stay linear: 30 books well under 100 ms, 500 under 1.5 s. Measured
// (Release, medians of 5, wall time on a busy 2-core machine): 30 books 37 ms for the year or
// a semester, 500 books 623 ms (307 ms of CPU).
#include "browse/gradesummary.h"
#include "model/gradebookfile.h"

#include "fullbook.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

using namespace kirune;

struct Shelf {
    QTemporaryDir folder;
    QStringList paths;

    explicit Shelf(int books) {
        for (int b = 0; b < books; ++b) {
            auto book = bench::FullBook(1000u + static_cast<unsigned>(b));
            book->HomeRoomClass = QStringLiteral("%1組").arg(b + 1);
            const QByteArray bytes = GradeBookFileBytes(*book);
            paths << folder.filePath(QStringLiteral("class%1.txt").arg(b + 1));
            QFile file(paths.back());
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                std::abort();
        }
    }
};

void BM_GradeSummary(benchmark::State& state) {
    const Shelf shelf(static_cast<int>(state.range(0)));
    const int period = static_cast<int>(state.range(1));
    for (auto _ : state) {
        const GradeSummary summary = SummariseBooks(shelf.paths, period);
        Grid grid;
        QString caption;
        ShowGradeSummaryTable(summary, grid, caption);
        if (summary.classes.size() != static_cast<size_t>(shelf.paths.size()))
            state.SkipWithError("a book was not read");
        benchmark::DoNotOptimize(grid.Text(1, 3).constData());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
// Books, period (3 = the whole year, 0 = the first semester).
BENCHMARK(BM_GradeSummary)
    ->Args({30, kSummaryYear})
    ->Args({30, 0})
    ->Args({500, kSummaryYear})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
