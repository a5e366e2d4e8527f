// The program's own start-up up to the first paint of its main window, with a class of 40 open
// and a viewpoint table (43 x 15) shown: the steps of the program's main, with the class opened
// and the node selected before the window is shown. `--write-class FILE` writes the class file
// the measurement opens. `--as-main [FILE]` starts exactly as the program's main does, with the
// file named on the command line or without one, until the table's first paint (the homeroom
// table of the class, or the empty table); `--read FILE` prints the time one reading of the file
// takes in a new process (bench/startup/open.sh compares the three).
#include "app/firstpaint.h"
#include "app/frmmain.h"
#include "app/icons.h"
#include "app/qtplatform.h"
#include "app/startup.h"
#include "browse/rules.h"
#include "browse/tree.h"
#include "document/commandline.h"
#include "document/mainlogic.h"
#include "editors/common/gridview.h"
#include "model/gradebookfile.h"
#include "model/numbers.h"
#include "model/session.h"
#include "output/fonts.h"

#include <QElapsedTimer>
#include <QLocale>
#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using namespace kirune;

// 40 pupils, ten tests of the first subject in the first semester, criteria set.
int WriteClass(const QString& path) {
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    book->HomeRoomYear = u"2026年（令和8年）"_s;
    book->HomeRoomGrade = u"4年"_s;
    book->HomeRoomClass = u"2組"_s;
    book->TeacherName = u"佐藤 美咲"_s;
    book->RosterSize = kMaxPupils;
    for (int n = 0; n < kMaxPupils; ++n)
        book->StudentNames[n] = u"生徒 "_s + QString::number(n + 1);
    for (int t = 0; t < kTestsPerSemester; ++t) {
        const int base = TestSlot(0, 0, t, 0);
        book->TestInfo[base][1] = QString::number(t + 1) + u"回目試験"_s;
        book->TestInfo[base][0] = QStringLiteral("2026/05/%1").arg(t + 10);
        for (int p = 0; p < kMaxPupils; ++p) {
            float total = 0;
            for (int v = 0; v < kViewpoints; ++v) {
                const float score = static_cast<float>((p * 7 + t * 3 + v * 5) % 21);
                book->Scores[base + v][p] = score;
                total += score;
            }
            book->Scores[base + 3][p] = total;
        }
        for (int v = 0; v < kViewpoints; ++v)
            book->Scores[base + v][kPointsColumn] = 20;
    }
    AggregateSubject(*book, 0, 0);
    QString error;
    if (!WriteGradeBookFile(path, *book, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

// One reading of the class file, as Open reads it, in a process that has read nothing yet.
int ReadTime(const QString& path) {
    auto book = std::make_unique<GradeBook>();
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!ReadGradeBookFile(path, *book, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("read-time %lld\n", timer.nsecsElapsed());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (argc == 3 && mode == "--write-class")
        return WriteClass(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && mode == "--read")
        return ReadTime(QString::fromLocal8Bit(argv[2]));
    const bool asMain = mode == "--as-main";
    if (asMain ? argc > 3 : argc != 2) {
        std::fprintf(stderr, "usage: kirune-first-paint FILE | --as-main [FILE] | --read FILE | "
                             "--write-class FILE\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(kProgramTitle);
    QApplication::setOrganizationName(kProgramTitle);
    QLocale::setDefault(RegionalLocale());
    InstallFontSubstitutions();
    InstallQtTranslations(app);
    QApplication::setFont(ProgramFont());
    InstallProgramStyle();
    QApplication::setWindowIcon(ProgramIcon());

    auto book = std::make_unique<GradeBook>();
    Session session;
    QtPlatform platform;
    MainLogic logic(*book, session, platform);
    frmMain window(logic);
    platform.SetMainWindow(&window);
    ResetGradeBook(*book);
    if (asMain) {
        // The program's own arguments: its name, then the file when there is one.
        QStringList arguments{QStringLiteral("kirune")};
        if (argc == 3)
            arguments << QString::fromLocal8Bit(argv[2]);
        if (argc == 3 && !OpenCommandLineFileBeforeShow(logic, arguments))
            return 1;
        new FirstPaintReporter(window.msFlexGrid1()->viewport());
        window.showAsPlaced();
        return QApplication::exec();
    }
    if (!logic.OpenPath(QString::fromLocal8Bit(argv[1])) ||
        !logic.SelectNodeByKey(ViewpointKey(0, 0, 0, 0)))
        return 1;
    new FirstPaintReporter(window.msFlexGrid1()->viewport());
    window.show();
    return QApplication::exec();
}
