// The recovery copy of an unsaved book, its offer at start-up, and File > 以前の版を開く...
#include "mainlogic.h"

#include "browse/tables.h"
#include "model/gradebookfile.h"
#include "model/numbers.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// Tests with a registered class average in any viewpoint, as the tree lights them.
int RegisteredTests(const GradeBook& book) {
    int count = 0;
    for (int semester = 0; semester < kSemesters; ++semester)
        for (int subject = 0; subject < kSubjects; ++subject)
            for (int test = 0; test < kTestsPerSemester; ++test)
                if (TestImageKey(book, subject, semester, test) == QLatin1String("lighton"))
                    ++count;
    return count;
}

} // namespace

void MainLogic::WriteRecoveryCopy() {
    if (!recovery.Enabled() || !session.NeedsSave || !BookOpen())
        return;
    const QByteArray bytes = GradeBookFileBytes(book);
    if (recoveryBase_) {
        recoveryBytes_ = GradeBookFileBytes(*recoveryBase_);
        recoveryBase_.reset();
    }
    if (bytes == recoveryBytes_)
        return; // the copy (or the file just read or saved) already holds this
    QString error;
    if (recovery.Write(bytes, session.FileName, &error)) {
        recoveryBytes_ = bytes;
        recoveryBase_.reset();
        recoveryFailed_ = false;
        return;
    }
    if (!recoveryFailed_) {
        // Once, in the status bar: the teacher can still save; a box at every change would
        // only be in the way.
        recoveryFailed_ = true;
        statusText = u"自動保存できませんでした："_s + error;
        Notify();
    }
}

void MainLogic::RecoveryTick() {
    WriteRecoveryCopy();
}

void MainLogic::DropRecoveryCopy() {
    recovery.Remove();
    recoveryBytes_ = BookOpen() ? GradeBookFileBytes(book) : QByteArray();
    recoveryBase_.reset();
}

bool MainLogic::OfferRecovery() {
    bool restored = false;
    for (const RecoveryStore::Copy& copy : recovery.Orphans()) {
        if (restored || BookOpen()) {
            recovery.Release(copy); // for the next start
            continue;
        }
        if (AskYes(platform,
                   u"前回は保存せずに終了しました。自動保存したデータを復元しますか？"_s)) {
            QString error;
            if (!ReadGradeBookFile(copy.path, book, &error)) {
                platform.ShowMessage(error);
                recovery.Release(copy);
                continue;
            }
            file_.TakeOver(copy.originalName);
            ShowOpenedBook(copy.originalName);
            startUnsaved_ = true; // the file (if any) holds an older book
            FollowCleanState();
            recoveryBytes_.clear();
            recoveryBase_.reset();
            WriteRecoveryCopy(); // this program's own copy first, then the old one goes
            recovery.Discard(copy);
            restored = true;
        } else if (AskYes(platform, u"自動保存したデータを削除しますか？"_s)) {
            recovery.Discard(copy);
        } else {
            recovery.Release(copy);
        }
    }
    return restored;
}

void MainLogic::KeepVersion() {
    QString error;
    if (!history.Keep(session.FileName, GradeBookFileBytes(book), platform.Now(), &error))
        statusText = u"以前の版を残せませんでした（保存はできています）："_s + error;
}

void MainLogic::UpdateHistoryMenu() {
    EnableMenus({Menu::FileHistory},
                history.Enabled() && BookOpen() && !session.FileName.isEmpty());
}

QString MainLogic::VersionText(const QDateTime& when, const GradeBook* version) {
    const QString time = when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    if (!version)
        return time + u"　（読み込めません）"_s;
    return time + u"　生徒%1名　登録済みの試験%2"_s.arg(CountEnrolled(*version))
                      .arg(RegisteredTests(*version));
}

void MainLogic::mnuFileHistory_Click() {
    if (!Allowed(Menu::FileHistory))
        return;
    const auto versions = history.Versions(session.FileName);
    if (versions.empty()) {
        platform.ShowMessage(u"このﾌｧｲﾙの以前の版はまだありません。"_s);
        return;
    }
    QStringList items;
    auto scratch = std::make_unique<GradeBook>();
    for (const auto& version : versions) {
        ResetGradeBook(*scratch);
        const bool read = ReadGradeBookFile(version.path, *scratch, nullptr);
        items << VersionText(version.when, read ? scratch.get() : nullptr);
    }
    const auto choice = platform.ChooseFromList(
        u"以前の版を開く"_s,
        u"開く版を選んでください（"_s + QFileInfo(session.FileName).fileName() + u"）："_s, items);
    if (!choice || *choice < 0 || *choice >= static_cast<int>(versions.size()))
        return;
    QString error;
    if (!ReadGradeBookFile(versions[*choice].path, book, &error)) {
        platform.ShowMessage(error.isEmpty() ? u"ﾌｧｲﾙを読み込めませんでした。"_s : error);
        return;
    }
    session.MarkChanged();
    RecordStep(u"以前の版（"_s +
               versions[*choice].when.toString(QStringLiteral("yyyy/MM/dd HH:mm")) + u"）を開く"_s);
    // Another version of the book: its class node, as after Open.
    TreeView1_refresh();
    EnableByEnrolment();
    ShowBookAfresh();
    Notify();
}

} // namespace kirune
