// Open and Save of a full 40-pupil class book, each on its own: the file read into a book, and
// the book written with its backup copy; then the same class with a comment of 200 characters
// for every pupil and period (160 comments). The files live in a temporary folder (TMPDIR).
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
using namespace Qt::StringLiterals;

void Check(benchmark::State& state, bool ok, const QString& error) {
    if (!ok)
        state.SkipWithError(error.toStdString().c_str());
}

// The full class, with 160 comments of 200 characters when `comments`.
std::unique_ptr<GradeBook> Class(bool comments) {
    auto book = bench::FullBook();
    if (!comments)
        return book;
    const QString sentence = u"友達と協力して課題に取り組み、よく考えて発表しました。"_s
                             u"計算の正確さも増しています; 次は「\\」記号も。\n"_s;
    for (int n = 0; n < kMaxPupils; ++n)
        for (int p = 0; p < kCommentPeriods; ++p)
            book->Comments[n][p] = sentence.repeated(5).left(200);
    return book;
}

void BM_OpenFullClass(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("class.txt"));
    const QByteArray bytes = GradeBookFileBytes(*Class(state.range(0) != 0));
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
BENCHMARK(BM_OpenFullClass)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_SaveFullClass(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("class.txt"));
    const auto book = Class(state.range(0) != 0);
    QString error;
    for (auto _ : state)
        Check(state, WriteGradeBookFile(path, *book, &error), error);
}
BENCHMARK(BM_SaveFullClass)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
