// Reading a class's scores from a file and building the preview the teacher sees: a 40-row CSV
// file and a 40-row workbook written by the program's own export (the file read from disk, its
// table parsed, the columns found, every row matched and every cell checked).
#include "output/scoreimport.h"
#include "output/xlsxexport.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

using namespace kirune;

QString Name(int n) {
    const char16_t* family[] = {u"青木", u"井上", u"宇野", u"遠藤", u"小川",
                                u"加藤", u"木村", u"工藤", u"小林", u"佐藤"};
    const char16_t* given[] = {u"太郎", u"花子", u"一郎", u"ﾐｷ"};
    return QString::fromUtf16(family[n % 10]) + u' ' + QString::fromUtf16(given[n / 10]);
}

ScoreImportTarget FullClass() {
    ScoreImportTarget target;
    for (int n = 0; n < 40; ++n)
        target.names.push_back(Name(n));
    target.viewpoints = {u"表現"_s, u"理解"_s, u"言語"_s};
    target.checked = {true, true, true};
    target.points = {50, 30, 20};
    target.current.assign(40, {QString(), QString(), QString()});
    return target;
}

// The score of pupil n in viewpoint v, an absence now and then.
QString Score(int n, int v) {
    if (n % 17 == 5)
        return u"欠"_s;
    return QString::number((n * 7 + v * 3) % (v == 0 ? 50 : v == 1 ? 30 : 20));
}

void Run(benchmark::State& state, const QString& path) {
    const ScoreImportTarget target = FullClass();
    for (auto _ : state) {
        ScoreImport import;
        if (!import.Open(path, target) || import.Preview().matched.size() != 40) {
            state.SkipWithError("the file was not read");
            return;
        }
        benchmark::DoNotOptimize(import.Preview().matched.data());
    }
}

void BM_ScoreImportCsv(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("scores.csv"));
    QString text = u"\uFEFF出席番号,氏名,表現,理解,言語\r\n"_s;
    for (int n = 0; n < 40; ++n)
        text += QStringLiteral("%1,%2,%3,%4,%5\r\n")
                    .arg(n + 1)
                    .arg(Name(n), Score(n, 0), Score(n, 1), Score(n, 2));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0) {
        state.SkipWithError("cannot write the file");
        return;
    }
    file.close();
    Run(state, path);
}

void BM_ScoreImportWorkbook(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("scores.xlsx"));
    WorkbookSheet sheet{QStringLiteral("test"), QStringLiteral("test"), Grid(43, 5), 5};
    const QStringList header = {QStringLiteral("No."), u"生徒氏名"_s, u"表現"_s, u"理解"_s,
                                u"言語"_s};
    for (int c = 0; c < 5; ++c)
        sheet.grid.SetText(0, c, header.at(c));
    for (int n = 0; n < 40; ++n) {
        sheet.grid.SetText(n + 1, 0, QString::number(n + 1));
        sheet.grid.SetText(n + 1, 1, Name(n));
        for (int v = 0; v < 3; ++v)
            sheet.grid.SetText(n + 1, 2 + v, Score(n, v));
    }
    if (!ExportWorkbook({sheet}, sheet.caption, path, QString(), nullptr)) {
        state.SkipWithError("cannot write the workbook");
        return;
    }
    Run(state, path);
}

} // namespace

BENCHMARK(BM_ScoreImportCsv)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScoreImportWorkbook)->Unit(benchmark::kMicrosecond);
