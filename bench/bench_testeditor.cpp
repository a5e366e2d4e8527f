// The test editor's commit of an entry row for a class of 40: the checks of the three boxes, the
// row's total, the four class averages and the ranks of the whole class. It runs on every change
// of pupil, so it must feel instant: target under 0.5 ms.
#include "editors/exam/testeditor.h"
#include "quietplatform.h"

#include <benchmark/benchmark.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using namespace kirune;

using bench::QuietPlatform;

class NoMainWindow : public MainFormHooks {
public:
    void EnableMainWindow() override {}
    void MSFlexGrid1_init() override {}
    void TreeView1_refresh() override {}
};

// 40 pupils whose scores of the test are all entered (a few absences), 100 points each.
std::unique_ptr<GradeBook> FullClass() {
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    book->RosterSize = kMaxPupils;
    for (int n = 0; n < kMaxPupils; ++n)
        book->StudentNames[n] = u"生徒"_s + QString::number(n + 1);
    unsigned seed = 4711;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    const int base = TestSlot(0, 0, 0, 0);
    for (int p = 0; p < kMaxPupils; ++p) {
        float total = 0;
        bool absent = false;
        for (int v = 0; v < kViewpoints; ++v) {
            const bool away = next() % 40 == 0;
            const float score = away ? kAbsent : static_cast<float>(next() % 101);
            book->Scores[base + v][p] = score;
            absent = absent || away;
            total += away ? 0 : score;
        }
        book->Scores[base + 3][p] = absent ? kAbsent : total;
    }
    for (int v = 0; v < kViewpoints; ++v) {
        book->Scores[base + v][kPointsColumn] = 100;
        book->Scores[base + v][kAverageColumn] = 50;
    }
    return book;
}

void BM_CommitEntryRow(benchmark::State& state) {
    auto book = FullClass();
    Session session;
    QuietPlatform platform;
    NoMainWindow main;
    TestEditor editor(*book, session, platform, main);
    editor.Form_Load();
    int i = 0;
    for (auto _ : state) {
        // A different pupil and different scores each time, so every cell really changes.
        session.CurrentStudentNo = static_cast<int16_t>(1 + i % kMaxPupils);
        editor.OnScoreChange(0, QStringLiteral(" ") + QString::number(i % 101));
        editor.OnScoreChange(1, QString::number((i * 7) % 101));
        editor.OnScoreChange(2, QString::number((i * 13) % 101));
        editor.CommitEntryRow();
        benchmark::DoNotOptimize(editor.scoreGrid.Text(kMaxPupils + 2, 5));
        ++i;
    }
    if (platform.messages != 0 || session.ScoreEntryError != 0)
        state.SkipWithError("an entry was refused");
}
BENCHMARK(BM_CommitEntryRow)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
