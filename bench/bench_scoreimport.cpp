// Reading a class's scores from a file and building the preview the teacher sees: a 40-row CSV
// file and a 40-row workbook written by the program's own export (the file read from disk, its
// table parsed, the columns found, every row matched and every cell checked); then hostile files,
// each read or refused in a child process whose peak memory (peak_MB, the whole process) is
// reported beside the time.
#include "output/scoreimport.h"
#include "output/xlsxexport.h"

#include "support/workbookfixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

namespace {

// The hostile files: each as small as an e-mail attachment, each built to cost time or memory.
QByteArray HostileFile(int which) {
    using kirune::test::SheetXml;
    using kirune::test::Workbook;
    const std::vector<kirune::test::FixtureSheet> sheet = {
        {u"S"_s, SheetXml(u"A1=番号|B1=表現|A2=#1|B2=#5"_s)}};
    auto withSharedStrings = [&](const QByteArray& xml) {
        return Workbook(sheet, 0, {}, {{u"xl/sharedStrings.xml"_s, xml}});
    };
    switch (which) {
    case 0: // 10.3 million empty shared strings (about 70 KB packed)
        return withSharedStrings("<sst>" + QByteArray("<si/>").repeated(10'300'000) + "</sst>");
    case 1: // a 40 MB shared-string table of short strings
        return withSharedStrings(
            "<sst>" + QByteArray("<si><t>0123456789abcdef</t></si>").repeated(1'250'000) +
            "</sst>");
    case 2: // a sheet part that unpacks into 200 MB of blanks
        return Workbook(
            {{u"S"_s, "<worksheet>" + QByteArray(200 * 1024 * 1024, ' ') + "</worksheet>"}});
    case 3: // twelve million empty cells
        return Workbook(
            {{u"S"_s, "<worksheet><sheetData><row>" + QByteArray("<c/>").repeated(12'000'000) +
                          "</row></sheetData></worksheet>"}});
    case 4: // nested entities (a billion laughs)
        return withSharedStrings(
            "<!DOCTYPE sst [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
            "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
            "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d "
            "\"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
            "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f "
            "\"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">"
            "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">]><sst><si><t>&g;</t></si></sst>");
    case 5: // one stray value at A1048576
        return Workbook({{u"S"_s, SheetXml(u"A1=番号|A2=#1|A1048576=#1"_s)}});
    case 6: // a 9 MB cell in a CSV file
        return "番号,表現\n1," + QByteArray(9 * 1024 * 1024, '9') + "\n";
    case 7: // a 10 MB CSV file of separators
        return "番号,表現\n" + QByteArray(10 * 1024 * 1024 - 20, ',');
    case 8: // a 10 MB CSV file of short rows
        return "番号,表現\n" + QByteArray("1,2\n").repeated(2'600'000);
    default: // elements nested a million deep
        return Workbook(
            {{u"S"_s, "<worksheet>" + QByteArray("<a>").repeated(1'000'000) + "</worksheet>"}});
    }
}

const char* const kHostileNames[] = {
    "empty_shared_strings", "shared_strings_40MB", "unpacks_to_200MB", "empty_cells_12M",
    "entity_expansion",     "stray_A1048576",      "csv_9MB_cell",     "csv_10MB_commas",
    "csv_2.6M_rows",        "nesting_1M_deep"};

void BM_ScoreImportHostile(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    state.SetLabel(kHostileNames[which]);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("hostile.bin"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(HostileFile(which)) < 0) {
            state.SkipWithError("cannot write the file");
            return;
        }
        state.counters["file_KB"] = static_cast<double>(file.size()) / 1024;
    }
    const ScoreImportTarget target = FullClass();
    for (auto _ : state) {
        ScoreImport import;
        benchmark::DoNotOptimize(import.Open(path, target));
    }
    // The peak memory of a process that reads the file once, as kirune-tool does.
    const pid_t child = fork();
    if (child == 0) {
        ScoreImport import;
        import.Open(path, target);
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    if (child > 0 && wait4(child, &status, 0, &usage) == child)
        state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

} // namespace

BENCHMARK(BM_ScoreImportHostile)->DenseRange(0, 9)->Unit(benchmark::kMillisecond);
