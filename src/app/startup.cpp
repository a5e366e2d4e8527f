#include "startup.h"

#include "output/fonts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {
QtMessageHandler previousHandler = nullptr;

void StartupMessageHandler(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
        // Qt would end the program with an abort (and a core file); a missing screen is no
        // crash: say what is wrong and end with a plain failure.
        std::fputs(qPrintable(NoDisplayMessage() + QLatin1Char('\n')), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (previousHandler)
        previousHandler(type, context, message);
}
} // namespace

bool DisplayAvailable(int argc, char** argv) {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

QString NoDisplayMessage() {
    return u"Kirune: 画面に接続できないため、ウィンドウを開けません。\n"
           u"Kirune cannot open its window: no display was found (DISPLAY and WAYLAND_DISPLAY are "
           u"empty, or the display cannot be reached).\n"
           u"On a machine without a screen, run it under a virtual one:  xvfb-run -a kirune"_s;
}

void InstallStartupMessageHandler() {
    previousHandler = qInstallMessageHandler(StartupMessageHandler);
}

void InstallQtTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator; // Qt's own texts stay in English
}

QFont ProgramFont() {
    return WindowFont(9);
}

} // namespace kirune
