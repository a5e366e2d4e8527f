// What keeping the teacher's work costs at every step: the undo snapshot of the whole book and
// its restoring, and writing the recovery copy (the grade-book bytes, written atomically). The
// recovery copy is measured without the syncs to disk, which depend on the disk alone.
#include "model/gradebook.h"
#include "model/gradebookfile.h"
#include "model/safefile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using namespace kirune;

// A class of 40 with every test of every subject registered.
std::unique_ptr<GradeBook> RegisteredClass() {
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    book->RosterSize = kMaxPupils;
    for (int n = 0; n < kMaxPupils; ++n)
        book->StudentNames[n] = u"生徒"_s + QString::number(n + 1);
    for (int slot = 0; slot < kUsedSlots; ++slot)
        for (int n = 0; n < kMaxPupils; ++n)
            book->Scores[slot][n] = static_cast<float>((slot * 7 + n * 13) % 101);
    return book;
}

class NoSync : public FileOps {
public:
    int Sync(int, bool) override { return 0; }
};

void BM_UndoSnapshotAndRestore(benchmark::State& state) {
    auto book = RegisteredClass();
    for (auto _ : state) {
        auto snapshot = std::make_shared<const GradeBook>(*book); // one step recorded
        *book = *snapshot;                                        // and undone
        benchmark::DoNotOptimize(book.get());
    }
}
BENCHMARK(BM_UndoSnapshotAndRestore)->Unit(benchmark::kMicrosecond);

void BM_WriteRecoveryCopy(benchmark::State& state) {
    auto book = RegisteredClass();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("1-1.txt"));
    NoSync noSync;
    ScopedFileOps scope(noSync);
    for (auto _ : state) {
        QString error;
        if (!WriteFileAtomically(path, GradeBookFileBytes(*book), &error))
            state.SkipWithError("the copy could not be written");
    }
}
BENCHMARK(BM_WriteRecoveryCopy)->Unit(benchmark::kMillisecond);

} // namespace
