// The main window's table as a screen reader finds it: read from outside the running program
// through the desktop's accessibility bus (AT-SPI) by atspi_table.py, on a virtual screen with a
// bus of its own.
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

TEST(AccessibilityBusTest, AScreenReaderFindsTheTableItsHeadersAndTheFocusedCell) {
    const QString bus = QStandardPaths::findExecutable(QStringLiteral("dbus-run-session"));
    const QString screen = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (bus.isEmpty() || screen.isEmpty())
        GTEST_SKIP() << "no accessibility bus: dbus-run-session or xvfb-run is not installed";
    // A virtual screen of its own, and on it a session bus, which starts the accessibility bus.
    QProcess reader;
    reader.start(screen, {QStringLiteral("-a"), QStringLiteral("-s"),
                          QStringLiteral("-screen 0 1280x1024x24"), bus, QStringLiteral("--"),
                          QStringLiteral("/usr/bin/python3"),
                          QStringLiteral(KIRUNE_TEST_SCRIPTS "/atspi_table.py"),
                          QStringLiteral(KIRUNE_PROGRAM_PATH),
                          QStringLiteral(KIRUNE_TEST_DATA "/sample_class.txt"), u"国語"_s});
    ASSERT_TRUE(reader.waitForFinished(240000));
    const QString report = QString::fromUtf8(reader.readAllStandardOutput());
    if (reader.exitCode() == 77)
        GTEST_SKIP() << report.toStdString();
    ASSERT_EQ(reader.exitCode(), 0)
        << report.toStdString() << reader.readAllStandardError().toStdString();
    // The class's table, then a subject's: what is read where the current cell goes.
    EXPECT_EQ(
        report.split(u'\n', Qt::SkipEmptyParts),
        QStringList({u"role table"_s, u"size 14 x 14"_s, u"cell 生徒氏名, 3, 上田 蓮"_s,
                     u"Tab: 生徒氏名, 1, 青木 颯太"_s, u"Down: 生徒氏名, 2, 石川 結衣"_s,
                     u"Down: 生徒氏名, 3, 上田 蓮"_s, u"End: , 3, "_s,
                     u"Home: 生徒氏名, 3, 上田 蓮"_s, u"Tab: no focused cell"_s, u"size 14 x 14"_s,
                     u"click: 表現 合計点, 3, 57"_s, u"Right: 表現 順位, 3, 3"_s}))
        << report.toStdString();
}

} // namespace
} // namespace kirune
