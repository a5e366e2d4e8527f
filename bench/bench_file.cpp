// Reading and writing the grade book file: a full class (40 pupils, every test of every subject
// registered), beside the floor of moving the same bytes without parsing or formatting them.
// The files live in a temporary folder (TMPDIR). A save flushes the file to disk before renaming
// it, so on a real disk the flush dominates both the save and its floor; with TMPDIR=/dev/shm
// the numbers show the program's own cost.
#include "model/gradebook.h"
#include "model/gradebookfile.h"
#include "model/safefile.h"

#include "fullbook.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace {

using namespace kirune;
using kirune::bench::FullBook;

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
