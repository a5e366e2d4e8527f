// kirune-tool: the command-line companion of Kirune. It runs the program's own code without any
// window (Qt's offscreen platform).
#include "commands.h"
#include "output/fonts.h"
#include "output/version.h"

#include <QGuiApplication>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace kirune::tool {

static std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}

bool RegisterCommand(Command command) {
    Registry().push_back(std::move(command));
    return true;
}

const std::vector<Command>& Commands() {
    return Registry();
}

int TakeSemesterOption(QStringList& args) {
    const qsizetype at = args.indexOf(QStringLiteral("--semester"));
    if (at < 0)
        return -1;
    const QString value = args.value(at + 1);
    args.remove(at, std::min<qsizetype>(2, args.size() - at));
    const QStringList periods = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                 QStringLiteral("year")};
    const auto period = static_cast<int>(periods.indexOf(value));
    return period >= 0 ? period : -2;
}

void PrintError(const QString& line) {
    std::fputs((line + u'\n').toUtf8().constData(), stderr);
}

void PrintLine(const QString& line) {
    std::fputs((line + u'\n').toUtf8().constData(), stdout);
}

} // namespace kirune::tool

namespace {

// The tool speaks for itself on stdout and stderr; Qt's own notes about the desktop it runs
// without (no runtime folder, no fonts configured) would only confuse a script reading stderr.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fputs((message + u'\n').toUtf8().constData(), stderr);
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(QuietQtMessages);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Kirune"));
    kirune::InstallFontSubstitutions();
    const QStringList args = QGuiApplication::arguments().mid(1);
    if (args == QStringList{QStringLiteral("--version")}) {
        kirune::tool::PrintLine(QStringLiteral("kirune-tool ") + kirune::kVersion);
        return 0;
    }
    using kirune::tool::Commands;
    // "--help" alone, or after a command, prints the usage with options and limits to stdout.
    const bool help = args.contains(QStringLiteral("--help"));
    if (!args.isEmpty()) {
        for (const auto& command : Commands())
            if (command.name == args.first() && !help)
                return command.run(args.mid(1));
    }
    const auto print = help ? kirune::tool::PrintLine : kirune::tool::PrintError;
    print(QStringLiteral("usage:"));
    for (const auto& command : Commands()) {
        if (help && args.size() > 1 && command.name != args.first())
            continue;
        print(QStringLiteral("  kirune-tool ") + command.usage);
        if (help && !command.help.isEmpty())
            print(command.help);
    }
    if (!help || args.size() == 1)
        print(QStringLiteral("  kirune-tool --version"));
    return help ? 0 : 2;
}
