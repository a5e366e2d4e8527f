// Open and Save of a full 40-pupil class book, each on its own: the file read into a book, and
// the book written with its backup copy. The files live in a temporary folder (TMPDIR).
#include "model/gradebook.h"
#include "model/gradebookfile.h"

#include "fullbook.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace {

using namespace kirune;

void Check(benchmark::State& state, bool ok, const QString& error) {
    if (!ok)
        state.SkipWithError(error.toStdString().c_str());
}

void BM_OpenFullClass(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("class.txt"));
    const QByteArray bytes = GradeBookFileBytes(*bench::FullBook());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
    file.close();
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    QString error;
    for (auto _ : state)
        Check(state, ReadGradeBookFile(path, *book, &error), error);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_OpenFullClass)->Unit(benchmark::kMicrosecond);

void BM_SaveFullClass(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("class.txt"));
    const auto book = bench::FullBook();
    QString error;
    for (auto _ : state)
        Check(state, WriteGradeBookFile(path, *book, &error), error);
}
BENCHMARK(BM_SaveFullClass)->Unit(benchmark::kMicrosecond);

} // namespace
