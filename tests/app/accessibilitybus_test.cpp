// The main window's table as a screen reader finds it: read from outside the running program
// through the desktop's accessibility bus (AT-SPI) by atspi_table.py, on a virtual screen with a
// bus of its own.
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace kirune {
namespace {

TEST(AccessibilityBusTest, AScreenReaderFindsTheTableItsHeadersAndTheFocusedCell) {
    const QString bus = QStandardPaths::findExecutable(QStringLiteral("dbus-run-session"));
    const QString screen = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (bus.isEmpty() || screen.isEmpty())
        GTEST_SKIP() << "no accessibility bus: dbus-run-session or xvfb-run is not installed";
    QProcess reader;
    reader.start(bus, {QStringLiteral("--"), screen, QStringLiteral("-a"), QStringLiteral("-s"),
                       QStringLiteral("-screen 0 1280x1024x24"), QStringLiteral("/usr/bin/python3"),
                       QStringLiteral(KIRUNE_TEST_SCRIPTS "/atspi_table.py"),
                       QStringLiteral(KIRUNE_PROGRAM_PATH),
                       QStringLiteral(KIRUNE_TEST_DATA "/sample_class.txt")});
    ASSERT_TRUE(reader.waitForFinished(180000));
    const QString report = QString::fromUtf8(reader.readAllStandardOutput());
    if (reader.exitCode() == 77)
        GTEST_SKIP() << report.toStdString();
    ASSERT_EQ(reader.exitCode(), 0)
        << report.toStdString() << reader.readAllStandardError().toStdString();
    EXPECT_EQ(report.split(u'\n', Qt::SkipEmptyParts), QStringList({QStringLiteral("role table")}))
        << report.toStdString();
}

} // namespace
} // namespace kirune
