// The yardstick for the program's start-up: a bare Qt main window with the same content as the
// program's main window after opening a class of 40 (a tree of 745 items, a 43 x 15 table of
// Japanese text, a status bar), built with Qt's stock widgets and nothing else.
#include "firstpaint.h"

#include <QHeaderView>
#include <QMainWindow>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTreeWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("IPAGothic"), 9));
    QMainWindow window;
    auto* splitter = new QSplitter(&window);
    auto* tree = new QTreeWidget(splitter);
    tree->setHeaderHidden(true);
    QList<QTreeWidgetItem*> roots;
    auto* homeRoom =
        new QTreeWidgetItem(QStringList(QString::fromUtf16(u"2026年 4年2組 佐藤 美咲")));
    roots << homeRoom;
    const char16_t* subjects[] = {u"国語", u"社会", u"算数", u"理科", u"音楽", u"図工"};
    for (const char16_t* subject : subjects) {
        auto* s = new QTreeWidgetItem(homeRoom, QStringList(QString::fromUtf16(subject)));
        for (int j = 1; j <= 3; ++j) {
            auto* semester = new QTreeWidgetItem(
                s, QStringList(QString::number(j) + QString::fromUtf16(u"学期")));
            for (int t = 1; t <= 10; ++t) {
                auto* test = new QTreeWidgetItem(
                    semester, QStringList(QString::number(t) + QString::fromUtf16(u"回目試験")));
                for (int v = 1; v <= 3; ++v)
                    new QTreeWidgetItem(
                        test, QStringList(QString::fromUtf16(u"観点") + QString::number(v)));
            }
        }
    }
    tree->addTopLevelItems(roots);
    tree->expandItem(homeRoom);

    auto* table = new QTableWidget(43, 15, splitter);
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    for (int r = 0; r < 43; ++r)
        for (int c = 0; c < 15; ++c)
            table->setItem(
                r, c,
                new QTableWidgetItem(c == 1 ? QString::fromUtf16(u"生徒") + QString::number(r)
                                            : QString::number(r * 15 + c)));
    splitter->setSizes({260, 900});
    window.setCentralWidget(splitter);
    window.statusBar()->showMessage(
        QString::fromUtf16(u"ツリービューの項目を選択して参照します。"));
    window.resize(1200, 800);
    new kirune::bench::FirstPaintReporter(table->viewport());
    window.show();
    return QApplication::exec();
}
