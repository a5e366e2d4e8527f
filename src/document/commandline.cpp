#include "commandline.h"

#include <QFileInfo>
#include <QUrl>

namespace kirune {

QString CommandLineFile(const QStringList& arguments) {
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument.isEmpty() || (!optionsEnded && argument.startsWith(QLatin1Char('-'))))
            continue;
        QString path = argument;
        if (argument.startsWith(QLatin1String("file:")))
            path = QUrl(argument).toLocalFile();
        if (path.isEmpty())
            continue;
        return QFileInfo(path).absoluteFilePath();
    }
    return QString();
}

bool OpenCommandLineFileBeforeShow(MainLogic& logic, const QStringList& arguments) {
    const QString path = CommandLineFile(arguments);
    if (path.isEmpty() || logic.RecoveryMayBeOffered() || !logic.windowEnabled)
        return false;
    return logic.OpenPathIfReadable(path);
}

bool OpenCommandLineFile(MainLogic& logic, const QStringList& arguments) {
    const QString path = CommandLineFile(arguments);
    if (path.isEmpty())
        return false;
    return logic.OpenDocument(path);
}

} // namespace kirune
