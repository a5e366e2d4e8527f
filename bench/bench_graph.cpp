// One redraw of a distribution graph on a criteria editor's window layer, as happens on every
// keystroke in a share box: 40 pupils, the QImage layer and the painter canvas. Target: under
// 2 ms. Beside it the counting alone, without drawing.
#include "editors/criteria/criteriawidgets.h"
#include "output/fonts.h"
#include "output/graph.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using namespace kirune;

constexpr int kSlot = SemesterAggregateSlot(0, 0, 0);

std::unique_ptr<GradeBook> ClassOf40() {
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    book->RosterSize = kMaxPupils;
    unsigned seed = 2024;
    for (int n = 0; n < kMaxPupils; ++n) {
        book->StudentNames[n] = u"生徒"_s + QString::number(n + 1);
        seed = seed * 1103515245u + 12345u;
        book->Scores[kSlot][n] = static_cast<float>(40 + (seed >> 16) % 160); // of 200
    }
    book->Scores[kSlot][4] += kAbsentMarker; // one absence in the semester
    book->Scores[kSlot][kPointsColumn] = 200;
    book->Scores[kSlot][kAverageColumn] = 120;
    return book;
}

// The benchmark program has no application object of its own: make one for the run.
std::unique_ptr<QApplication> EnsureApplication() {
    if (QApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kirune-bench";
    static char* argv[] = {name, nullptr};
    auto app = std::make_unique<QApplication>(argc, argv);
    InstallFontSubstitutions();
    return app;
}

void BM_GraphRedrawOnWindowLayer(benchmark::State& state) {
    const auto app = EnsureApplication();
    const auto book = ClassOf40();
    GraphLayer layer;
    layer.Resize(QSize(617, 512)); // the semester editor at 96 dpi
    layer.Clear(Qt::lightGray);
    int16_t aShare = 20;
    for (auto _ : state) {
        layer.Paint([&](Canvas& canvas) {
            DrawDistributionGraph(canvas, *book, kSlot, 3975, 340, aShare, 40, 0, 0);
        });
        aShare = static_cast<int16_t>(aShare == 20 ? 21 : 20); // as the teacher types
        benchmark::DoNotOptimize(layer.image().constBits());
    }
}
BENCHMARK(BM_GraphRedrawOnWindowLayer)->Unit(benchmark::kMillisecond);

void BM_GraphCountingOnly(benchmark::State& state) {
    const auto book = ClassOf40();
    for (auto _ : state) {
        const Distribution d = ComputeDistribution(*book, kSlot, 20, 40);
        benchmark::DoNotOptimize(d.CountA);
    }
}
BENCHMARK(BM_GraphCountingOnly);

} // namespace
