#pragma once
// A file layer that fails on demand: the save path's fault-injection tests make each of its
// steps fail in turn and check that nothing on disk changed.

#include "model/safefile.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kirune::test {

// The POSIX calls, each recorded by kind and by the file it touches; the call numbered `failAt`
// fails with `err` (or, for a write with `lie`, claims all bytes while writing one less).
// Writes take at most 64 KB a call, so a save makes several.
class FaultyOps : public FileOps {
public:
    struct Call {
        std::string kind;
        std::string file;
    };
    std::vector<Call> calls;
    int failAt = -1;
    int err = EIO;
    bool lie = false;
    // Run just before the first call `meddleBefore` ("open .a.txt"), as another program would
    // act meanwhile.
    std::string meddleBefore;
    std::function<void()> meddle;

    int Open(const char* path, int flags, mode_t mode) override {
        if (Fail("open", path))
            return -1;
        const int fd = FileOps::Open(path, flags, mode);
        if (fd >= 0)
            names_[fd] = path;
        return fd;
    }
    ssize_t Read(int fd, void* buffer, size_t size) override {
        return Fail("read", fd) ? -1 : FileOps::Read(fd, buffer, size);
    }
    ssize_t Write(int fd, const void* data, size_t size) override {
        size = std::min<size_t>(size, 64 * 1024);
        if (Fail("write", fd))
            return lie ? (FileOps::Write(fd, data, size - 1) < 0 ? -1 : ssize_t(size)) : -1;
        return FileOps::Write(fd, data, size);
    }
    int Stat(int fd, struct stat* info) override {
        return Fail("stat", fd) ? -1 : FileOps::Stat(fd, info);
    }
    int Sync(int fd, bool folder) override {
        return Fail(folder ? "syncfolder" : "sync", fd) ? -1 : FileOps::Sync(fd, folder);
    }
    int Close(int fd) override {
        const bool fail = Fail("close", fd);
        FileOps::Close(fd); // the descriptor is gone either way, as with close(2)
        return fail ? -1 : 0;
    }
    int Rename(const char* from, const char* to) override {
        return Fail("rename", to) ? -1 : FileOps::Rename(from, to);
    }

private:
    bool Fail(const char* kind, int fd) { return Fail(kind, names_[fd]); }
    bool Fail(const char* kind, const std::string& file) {
        // Only the last part of the name, and a temporary file by the name it was made for
        // (".a.txt.<random>.tmp" is ".a.txt"): the random part differs from run to run.
        const std::string base = file.substr(file.rfind('/') + 1);
        calls.push_back({kind, base.ends_with(".tmp")
                                   ? base.substr(0, base.rfind('.', base.size() - 5))
                                   : base});
        if (meddle && calls.back().kind + " " + calls.back().file == meddleBefore)
            std::exchange(meddle, nullptr)();
        if (static_cast<int>(calls.size()) - 1 != failAt || (lie && std::string(kind) != "write"))
            return false;
        errno = err;
        return true;
    }
    std::map<int, std::string> names_;
};

// One line of a writer's table of failing steps: the call and the file it touches (as FaultyOps
// names it; "-" for any file no other line names, such as the folder), what its failure
// leaves, and the words of the message that say what failed.
struct FailingStep {
    enum Outcome {
        kFails,        // the write fails and the target is as it was
        kFailsInPlace, // it fails with the new file in place (the folder's sync after the rename)
        kWritten,      // a failure that cannot harm (closing a file only read): it goes through
    };
    std::string kind;
    std::string file;
    Outcome outcome = kFails;
    QString words;
};

// The table from compact text, one step a line: "kind file outcome words", the outcome being
// "fails", "in-place" or "written", the words "-" for none.
inline std::vector<FailingStep> FailingSteps(const QString& text) {
    const std::map<QString, FailingStep::Outcome> outcomes = {
        {QStringLiteral("fails"), FailingStep::kFails},
        {QStringLiteral("in-place"), FailingStep::kFailsInPlace},
        {QStringLiteral("written"), FailingStep::kWritten}};
    std::vector<FailingStep> steps;
    for (const QString& line : text.trimmed().split(u'\n')) {
        const QStringList f = line.simplified().split(u' ');
        steps.push_back({f[0].toStdString(), f[1].toStdString(), outcomes.at(f[2]),
                         f[3] == u"-" ? QString() : f[3]});
    }
    return steps;
}

// Runs `write` (which puts its files in their first state and writes, false and *error on
// failure) once without a fault to learn its calls, then once more for each call with that call
// failing. Each time the failure is checked against the call's line of `steps` (which every
// call must have, and every line must be used), and `check` looks at what is on disk.
inline void FailEachStepInTurn(const std::vector<FailingStep>& steps,
                               const std::function<bool(QString*)>& write,
                               const std::function<void(const FailingStep&)>& check) {
    FaultyOps clean;
    {
        ScopedFileOps scope(clean);
        QString error;
        ASSERT_TRUE(write(&error)) << error.toStdString();
    }
    std::set<std::string> named;
    for (const FailingStep& step : steps)
        named.insert(step.file);
    std::set<size_t> used;
    for (size_t i = 0; i < clean.calls.size(); ++i) {
        const FaultyOps::Call& call = clean.calls[i];
        const std::string file = named.count(call.file) ? call.file : "-";
        const auto step = std::find_if(steps.begin(), steps.end(), [&](const FailingStep& s) {
            return s.kind == call.kind && s.file == file;
        });
        SCOPED_TRACE(::testing::Message() << "call " << i << ": " << call.kind << " " << call.file);
        ASSERT_NE(step, steps.end()) << "a step the table does not know";
        used.insert(static_cast<size_t>(step - steps.begin()));
        FaultyOps ops;
        ops.failAt = static_cast<int>(i);
        QString error;
        bool written = false;
        {
            ScopedFileOps scope(ops);
            written = write(&error);
        }
        EXPECT_EQ(written, step->outcome == FailingStep::kWritten) << error.toStdString();
        if (!step->words.isEmpty()) {
            EXPECT_TRUE(error.contains(step->words)) << error.toStdString();
        }
        check(*step);
    }
    EXPECT_EQ(used.size(), steps.size()) << "a line of the table that no call takes";
}

// The steps of putting a file made aside, `made`, in place at `target` (PlaceMadeFile): the
// table of each writer that makes its file aside (the workbook, the PDF printouts).
inline std::vector<FailingStep> PlacingMadeFileSteps(const QString& made, const QString& target) {
    return FailingSteps(QString::fromUtf16(uR"(
        open %1   fails    読み戻せません
        stat %1   fails    読み戻せません
        read %1   fails    読み戻せません
        close %1  written  -
        open -    fails    保存先のフォルダーを開けません
        open .%2  fails    一時ファイルを作れません
        write .%2 fails    書き込みに失敗しました
        stat .%2  fails    大きさを確かめられません
        sync .%2  fails    ディスクへの書き込みに失敗しました
        close .%2 fails    閉じるときに書き込みに失敗しました
        rename %2 fails    置き換えられません
        syncfolder - in-place もう一度保存してください
        close -   written  -)")
                            .arg(made, target));
}

} // namespace kirune::test
