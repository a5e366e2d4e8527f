// Building the tables of the main grid for a full class, and the aggregation a test's
// registration runs. Targets: each table well under 1 ms, the aggregation under 0.2 ms.
#include "app/startup.h"
#include "browse/rules.h"
#include "browse/tables.h"
#include "browse/tree.h"
#include "document/mainlogic.h"
#include "editors/common/gridview.h"
#include "fullbook.h"
#include "output/fonts.h"
#include "output/xlsxexport.h"
#include "quietplatform.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using namespace kirune;

using bench::FullBook;

using TableBuilder = void (*)(const GradeBook&, Session&, Grid&, QString&);

void BuildTable(benchmark::State& state, TableBuilder build) {
    const auto book = FullBook();
    Session session;
    session.CurrentSubject = 2;
    session.CurrentSemester = 1;
    session.CurrentTest = 4;
    session.CurrentViewpoint = 1;
    Grid grid;
    InitMainGrid(*book, grid);
    QString caption;
    for (auto _ : state) {
        build(*book, session, grid, caption);
        benchmark::DoNotOptimize(grid.Text(40, 5));
        benchmark::ClobberMemory();
    }
}

void BM_HomeRoomTable(benchmark::State& state) {
    BuildTable(state, ShowHomeRoomTable);
}
void BM_TestTable(benchmark::State& state) {
    BuildTable(state, ShowTestTable);
}
void BM_SemesterSubjectTable(benchmark::State& state) {
    BuildTable(state, ShowSemesterSubjectTable);
}
void BM_AnnualSubjectTable(benchmark::State& state) {
    BuildTable(state, ShowAnnualSubjectTable);
}
void BM_ViewpointTestTable(benchmark::State& state) {
    BuildTable(state, ShowViewpointTestTable);
}

// The benchmark program has no application object of its own: widgets get one for the run,
// with the program's font, as the program shows its tables.
std::unique_ptr<QApplication> ApplicationForWidgets() {
    if (QApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kirune-bench";
    static char* argv[] = {name, nullptr};
    auto app = std::make_unique<QApplication>(argc, argv);
    InstallFontSubstitutions();
    QApplication::setFont(ProgramFont());
    return app;
}

// What the main window does on activation: reset the grid, build the table, show and paint it.
// Target: under 2 ms.
void BM_ViewpointTestTableShown(benchmark::State& state) {
    const auto ownApp = ApplicationForWidgets();
    const auto book = FullBook();
    Session session;
    session.CurrentSubject = 2;
    session.CurrentSemester = 1;
    session.CurrentViewpoint = 1;
    Grid grid;
    QString caption;
    {
        GridView view;
        view.resize(1200, 800);
        view.setGrid(&grid);
        view.show();
        QApplication::processEvents(); // shown and exposed: a repaint paints
        for (auto _ : state) {
            InitMainGrid(*book, grid);
            ShowViewpointTestTable(*book, session, grid, caption);
            view.refresh();
            view.viewport()->repaint();
            benchmark::ClobberMemory();
        }
    }
}

// The grid widget alone on a full 43 x 15 table: a refresh (sizes, scroll bars, current cell),
// and a refresh with the repaint of what is in view. Target: the refresh well under 1 ms.
void GridViewOnFullTable(benchmark::State& state, bool paint) {
    const auto ownApp = ApplicationForWidgets();
    const auto book = FullBook();
    Session session;
    session.CurrentSubject = 2;
    session.CurrentSemester = 1;
    session.CurrentTest = 4;
    Grid grid;
    QString caption;
    InitMainGrid(*book, grid);
    ShowTestTable(*book, session, grid, caption);
    {
        GridView view;
        view.resize(900, 500); // the main window's table pane: part of the table in view
        view.setGrid(&grid);
        view.show();
        QApplication::processEvents(); // shown and exposed: a repaint paints
        int row = 1;
        for (auto _ : state) {
            row = row % 40 + 1; // the current cell moves, as after a click
            grid.SetCurrentCell(row, 2);
            view.refresh();
            if (paint)
                view.viewport()->repaint();
            benchmark::ClobberMemory();
        }
    }
}
void BM_GridViewRefresh(benchmark::State& state) {
    GridViewOnFullTable(state, false);
}
void BM_GridViewRefreshAndPaint(benchmark::State& state) {
    GridViewOnFullTable(state, true);
}

// One full paint of the grid showing the whole viewpoint table of 40 pupils (43 x 15 cells, all
// in view), nothing changed in between: the grid's own painting, rendered into an image of the
// viewport's size (no window system's flush); with `selected`, the main window's table with a
// column selected. Target: under 0.5 ms (1 ms at most).
void GridFullPaint(benchmark::State& state, bool selected) {
    const auto ownApp = ApplicationForWidgets();
    const auto book = FullBook();
    Session session;
    session.CurrentSubject = 2;
    session.CurrentSemester = 1;
    session.CurrentViewpoint = 1;
    Grid grid;
    QString caption;
    InitMainGrid(*book, grid);
    ShowViewpointTestTable(*book, session, grid, caption);
    {
        GridView view;
        view.setGrid(&grid);
        view.setNavigable(selected);
        if (selected)
            view.selectColumns(3, 3);
        view.resize(1100, 800); // the whole table in view
        view.show();
        QApplication::processEvents();
        QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        for (auto _ : state) {
            view.viewport()->render(&image);
            benchmark::ClobberMemory();
        }
        // KIRUNE_GRID_PICTURE=file.png keeps a picture of what was painted, to compare changes.
        if (const QString picture = qEnvironmentVariable("KIRUNE_GRID_PICTURE"); !picture.isEmpty())
            image.save(picture);
    }
}

void BM_GridFullPaint(benchmark::State& state) {
    GridFullPaint(state, false);
}
void BM_GridFullPaintSelected(benchmark::State& state) {
    GridFullPaint(state, true);
}

// The tree's nodes with the pupils' branch, as every opening and change of names builds them.
// Target: under 2 ms.
void BM_BuildTreeNodes(benchmark::State& state) {
    const auto book = FullBook();
    for (auto _ : state) {
        auto nodes = BuildTreeNodes(*book);
        benchmark::DoNotOptimize(nodes.back().text);
    }
}

// A pupil's record built (24 subject tables read) and shown on the grid widget, painted.
// Target: under 1 ms.
void BM_PupilRecordTableShown(benchmark::State& state) {
    const auto ownApp = ApplicationForWidgets();
    const auto book = FullBook();
    Session session;
    Grid grid;
    InitMainGrid(*book, grid);
    QString caption;
    SubjectTableCache tables; // as the main window keeps them
    {
        GridView view;
        view.resize(1200, 800);
        view.setGrid(&grid);
        view.show();
        QApplication::processEvents();
        int pupil = 0;
        for (auto _ : state) {
            pupil = pupil % kMaxPupils + 1;
            ShowPupilRecordTable(*book, session, pupil, grid, caption, &tables);
            view.refresh();
            view.viewport()->repaint();
            benchmark::ClobberMemory();
        }
    }
}

// A pupil's record built from the book alone (no tables kept from before), and the ratings
// overview of the class. Target: each under 1 ms.
void BM_PupilRecordTable(benchmark::State& state) {
    const auto book = FullBook();
    Session session;
    Grid grid;
    InitMainGrid(*book, grid);
    QString caption;
    int pupil = 0;
    for (auto _ : state) {
        pupil = pupil % kMaxPupils + 1;
        ShowPupilRecordTable(*book, session, pupil, grid, caption);
        benchmark::DoNotOptimize(grid.Text(3, 4));
        benchmark::ClobberMemory();
    }
}
void BM_RatingsOverviewTable(benchmark::State& state) {
    BuildTable(state, ShowRatingsOverviewTable);
}

// Every record of a class of 40, one page each, written to a PDF file (File > 個人票を全員分印刷).
// Target: under 2 s.
void BM_PupilRecordsPdf(benchmark::State& state) {
    const auto ownApp = ApplicationForWidgets();
    auto book = FullBook();
    QTemporaryDir folder;
    Session session;
    bench::QuietPlatform platform(folder.filePath(QStringLiteral("records.pdf")));
    MainLogic logic(*book, session, platform);
    QList<int> everyone;
    for (int n = 1; n <= kMaxPupils; ++n)
        everyone << n;
    for (auto _ : state)
        benchmark::DoNotOptimize(logic.PrintPupilRecords(everyone));
}

// Every table of a full class as one workbook (about 120 sheets). Target: under 300 ms.
void BM_WholeBookWorkbook(benchmark::State& state) {
    const auto book = FullBook();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("book.xlsx"));
    for (auto _ : state)
        benchmark::DoNotOptimize(ExportWorkbook(WholeBookSheets(*book), QStringLiteral("class"),
                                                path, QString(), nullptr));
    state.counters["sheets"] = static_cast<double>(WholeBookSheets(*book).size());
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size()); // target: under 1 MB
}

// The table on screen (a viewpoint table of 40 pupils) as a workbook. Target: under 20 ms.
void BM_ShownTableWorkbook(benchmark::State& state) {
    const auto book = FullBook();
    Session session;
    session.CurrentSubject = 2;
    session.CurrentSemester = 1;
    session.CurrentViewpoint = 1;
    WorkbookSheet sheet{QStringLiteral("table"), QString(), Grid(43, 15), 0};
    InitMainGrid(*book, sheet.grid);
    ShowViewpointTestTable(*book, session, sheet.grid, sheet.caption);
    sheet.columns = session.ShownColumnCount;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("table.xlsx"));
    for (auto _ : state)
        benchmark::DoNotOptimize(ExportWorkbook({sheet}, sheet.caption, path, QString(), nullptr));
}

void BM_AggregateSubject(benchmark::State& state) {
    auto book = FullBook();
    for (auto _ : state) {
        AggregateSubject(*book, 3, 2);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_HomeRoomTable);
BENCHMARK(BM_TestTable);
BENCHMARK(BM_SemesterSubjectTable);
BENCHMARK(BM_AnnualSubjectTable);
BENCHMARK(BM_ViewpointTestTable);
BENCHMARK(BM_ViewpointTestTableShown);
BENCHMARK(BM_GridViewRefresh);
BENCHMARK(BM_GridViewRefreshAndPaint);
BENCHMARK(BM_GridFullPaint);
BENCHMARK(BM_GridFullPaintSelected);
BENCHMARK(BM_AggregateSubject);
BENCHMARK(BM_BuildTreeNodes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PupilRecordTableShown)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PupilRecordTable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RatingsOverviewTable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PupilRecordsPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeBookWorkbook)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShownTableWorkbook)->Unit(benchmark::kMillisecond);

} // namespace
