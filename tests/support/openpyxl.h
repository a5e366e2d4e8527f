#pragma once
// Workbooks read back as a spreadsheet program reads them (openpyxl, from Debian's python3), and
// a German C library locale made for a test.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <cstdlib>

namespace kirune::test {

inline bool HasOpenpyxl() {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
    return python.waitForFinished(60000) && python.exitStatus() == QProcess::NormalExit &&
           python.exitCode() == 0;
}

// What `code` prints, run with `wb` the workbook at `path`; a failure's message otherwise.
inline QString RunOpenpyxl(const QString& code, const QString& path) {
    QProcess python;
    python.start(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import sys, openpyxl\nwb = openpyxl.load_workbook(sys.argv[1])\n") + code,
         path});
    if (!python.waitForFinished(120000))
        return QStringLiteral("python did not finish");
    const QString out = QString::fromUtf8(python.readAllStandardOutput());
    if (python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0)
        return out + QString::fromUtf8(python.readAllStandardError());
    return out;
}

inline bool HasLocaledef() {
    return !QStandardPaths::findExecutable(QStringLiteral("localedef")).isEmpty();
}

// Makes the C library locale "de_DE.UTF-8" in `folder` and has the C library look there (LOCPATH).
inline bool MakeGermanCLocale(const QString& folder) {
    QDir().mkpath(folder);
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                     QStringLiteral("UTF-8"), folder + QStringLiteral("/de_DE.UTF-8")});
    if (!localedef.waitForFinished(120000) || localedef.exitStatus() != QProcess::NormalExit ||
        localedef.exitCode() != 0)
        return false;
    return setenv("LOCPATH", QFile::encodeName(folder).constData(), 1) == 0;
}

} // namespace kirune::test
