// Start-up with a file named on the command line (a double-click on a class file) against a start
// without a file plus reading the file: the main window built, the class opened through the same
// functions main uses (before the window is shown, as nothing is left to recover), the window
// shown and activated, until the homeroom table is painted. Target: with a file within 1.2 x
// (without a file + reading it).
#include "app/frmmain.h"
#include "app/icons.h"
#include "app/startup.h"
#include "document/commandline.h"
#include "editors/common/gridview.h"
#include "model/gradebookfile.h"
#include "output/fonts.h"
#include "quietplatform.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using namespace kirune;

using bench::QuietPlatform;

std::unique_ptr<QApplication> ApplicationForStart() {
    if (QApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kirune-bench";
    static char* argv[] = {name, nullptr};
    auto app = std::make_unique<QApplication>(argc, argv);
    // as main does
    InstallFontSubstitutions();
    QApplication::setFont(ProgramFont());
    InstallProgramStyle();
    return app;
}

// A class of 40 with scores, written once.
const QString& ClassFile() {
    static QTemporaryDir folder;
    static const QString path = [] {
        auto book = std::make_unique<GradeBook>();
        ResetGradeBook(*book);
        book->HomeRoomYear = u"2026年（令和8年）"_s;
        book->HomeRoomGrade = u"4年"_s;
        book->HomeRoomClass = u"2組"_s;
        book->RosterSize = 40;
        for (int n = 0; n < 40; ++n) {
            book->StudentNames[n] = u"生徒"_s + QString::number(n + 1);
            for (int slot = 0; slot < 792; ++slot)
                book->Scores[slot][n] = static_cast<float>((n * 7 + slot) % 100);
        }
        const QString file = folder.filePath(u"4年2組.txt"_s);
        WriteGradeBookFile(file, *book, nullptr);
        return file;
    }();
    return path;
}

// Notes the first paint of a widget.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* watched) { watched->installEventFilter(this); }
    bool painted() const { return painted_; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        painted_ = painted_ || event->type() == QEvent::Paint;
        return false;
    }

private:
    bool painted_ = false;
};

// Start as main does: the window (load), the reset, with a file the file opened, the showing and
// its first activation, until the table is painted; the window going away afterwards is not
// timed. With `opening`, only the opening is timed. The timing is left paused.
void Start(benchmark::State& state, const QString& file, bool opening = false) {
    if (opening)
        state.PauseTiming();
    auto book = std::make_unique<GradeBook>();
    Session session;
    QuietPlatform platform;
    MainLogic logic(*book, session, platform);
    frmMain window(logic);
    ResetGradeBook(*book);
    const QStringList arguments{QStringLiteral("kirune"), file};
    if (opening)
        state.ResumeTiming();
    const bool opened = !file.isEmpty() && OpenCommandLineFileBeforeShow(logic, arguments);
    if (opening)
        state.PauseTiming(); // the rest untimed
    const PaintWatch table(window.msFlexGrid1()->viewport());
    window.showAsPlaced();
    while (window.activationCount() == 0 || !table.painted())
        QApplication::processEvents();
    if (!file.isEmpty() && !opened) {
        OpenCommandLineFile(logic, arguments); // a file opened after the window is up
        window.msFlexGrid1()->viewport()->repaint();
    }
    benchmark::DoNotOptimize(logic.grid.Text(40, 1));
    if (!opening)
        state.PauseTiming();
}

void BM_StartWithoutFile(benchmark::State& state) {
    const auto app = ApplicationForStart();
    for (auto _ : state) {
        Start(state, QString());
        state.ResumeTiming();
    }
}

void BM_ReadClassFile(benchmark::State& state) {
    auto book = std::make_unique<GradeBook>();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadGradeBookFile(ClassFile(), *book, nullptr));
}

void BM_StartWithFile(benchmark::State& state) {
    const auto app = ApplicationForStart();
    for (auto _ : state) {
        Start(state, ClassFile());
        state.ResumeTiming();
    }
}

// The opening in BM_StartWithFile: the file read and its tree and table made.
void BM_OpenAfterStart(benchmark::State& state) {
    const auto app = ApplicationForStart();
    for (auto _ : state) {
        Start(state, ClassFile(), true);
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_OpenAfterStart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartWithoutFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadClassFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartWithFile)->Unit(benchmark::kMillisecond);
