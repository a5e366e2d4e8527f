// Kirune: the grade book of one class. Start-up: the window system, the regional settings, the
// fonts, then the grade book, its session, the main window and its logic.
#include "document/commandline.h"
#include "document/mainlogic.h"
#include "editors/common/gridview.h"
#include "firstpaint.h"
#include "frmmain.h"
#include "icons.h"
#include "model/gradebook.h"
#include "model/numbers.h"
#include "model/session.h"
#include "output/fonts.h"
#include "output/version.h"
#include "qtplatform.h"
#include "startup.h"

#include <QApplication>
#include <QLocale>
#include <QTimer>
#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    if (!kirune::DisplayAvailable(argc, argv)) {
        std::fputs(qPrintable(kirune::NoDisplayMessage() + QLatin1Char('\n')), stderr);
        return 1;
    }
    kirune::InstallStartupMessageHandler();
    QApplication app(argc, argv);
    QApplication::setApplicationName(kirune::kProgramTitle);
    QApplication::setOrganizationName(kirune::kProgramTitle);
    QApplication::setApplicationVersion(kirune::kVersion);
    QApplication::setDesktopFileName(QStringLiteral("kirune"));
    QApplication::setWindowIcon(kirune::ProgramIcon());
    // Without regional settings of the system (the C locale) the program uses Japanese ones.
    QLocale::setDefault(kirune::RegionalLocale());
    kirune::InstallFontSubstitutions();
    kirune::InstallQtTranslations(app);
    QApplication::setFont(kirune::ProgramFont());
    kirune::InstallProgramStyle();

    auto book = std::make_unique<kirune::GradeBook>();
    kirune::Session session;
    kirune::QtPlatform platform;
    kirune::MainLogic logic(*book, session, platform);
    kirune::frmMain window(logic); // its load routine runs here
    platform.SetMainWindow(&window);
    kirune::ResetGradeBook(*book);
    // A file named on the command line (a double-click on a class file) opens as Open does:
    // before the window is shown when it can, so that the window appears with the class.
    const bool opened = kirune::OpenCommandLineFileBeforeShow(logic, QCoreApplication::arguments());
    // With KIRUNE_EXIT_AFTER_FIRST_PAINT set the program ends once its table has first been
    // painted, saying so on stdout: how scripts check and time the start of an installed program.
    if (qEnvironmentVariableIsSet("KIRUNE_EXIT_AFTER_FIRST_PAINT"))
        new kirune::FirstPaintReporter(window.msFlexGrid1()->viewport());
    window.showAsPlaced();
    // Once the window is up: a program that ended without saving left a recovery copy, offer it;
    // then the file named on the command line, when it was not opened yet.
    QTimer::singleShot(0, &window, [&, opened] {
        if (logic.OfferRecovery())
            window.refresh();
        if (!opened)
            kirune::OpenCommandLineFile(logic, QCoreApplication::arguments());
    });
    return QApplication::exec();
}
