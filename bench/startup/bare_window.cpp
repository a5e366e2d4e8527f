// The yardstick for the program's start-up: a bare Qt main window with the same content as the
// program's main window after opening a class of 40 (the three menus with their items and
// shortcuts, the toolbar with the five SVG pictures and their texts, the two group boxes with
// their captions around a tree of 745 items and a 43 x 15 table of Japanese text, a status bar,
// the program's icon), built with Qt's stock widgets and nothing else.
#include "app/firstpaint.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The program's menus: caption, then each item's caption and shortcut ("-" a separator).
struct Item {
    const char16_t* caption;
    const char* shortcut;
};
void AddMenu(QMainWindow& window, const char16_t* title, std::initializer_list<Item> items) {
    QMenu* menu = window.menuBar()->addMenu(QString::fromUtf16(title));
    for (const Item& item : items) {
        if (QString::fromUtf16(item.caption) == QLatin1String("-"))
            menu->addSeparator();
        else
            menu->addAction(QString::fromUtf16(item.caption))
                ->setShortcut(QKeySequence(QLatin1String(item.shortcut)));
    }
}

QGroupBox* Pane(const char16_t* caption, QWidget* content, QWidget* parent) {
    auto* box = new QGroupBox(QString::fromUtf16(caption), parent);
    (new QVBoxLayout(box))->addWidget(content);
    return box;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("IPAGothic"), 9));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/kirune.svg")));
    QMainWindow window;
    AddMenu(window, u"ﾌｧｲﾙ(&F)",
            {{u"新規作成(&N)", "Ctrl+N"},
             {u"開く(&O)...", "Ctrl+O"},
             {u"閉じる(&C)", "Ctrl+W"},
             {u"-", ""},
             {u"上書き保存(&S)", "Ctrl+S"},
             {u"名前を付けて保存(&A)...", "Ctrl+Shift+S"},
             {u"以前の版を開く(&H)...", ""},
             {u"画面の表をCSVで保存(&V)...", ""},
             {u"-", ""},
             {u"ﾍﾟｰｼﾞ設定(&U)...", ""},
             {u"画面の表を印刷(&P)...", "Ctrl+P"},
             {u"-", ""},
             {u"終了(&X)", "Ctrl+Q"}});
    AddMenu(window, u"編集(&E)",
            {{u"元に戻す(&U)", "Ctrl+Z"},
             {u"やり直し(&R)", "Ctrl+Y"},
             {u"-", ""},
             {u"学級・科目・試験・得点の編集(&E)", "Ctrl+E"},
             {u"生徒名簿ﾌｧｲﾙの読み込み(&I)...", ""}});
    AddMenu(window, u"ﾍﾙﾌﾟ(&H)", {{u"ヘルプ(&C)", "F1"}});
    QToolBar* bar = window.addToolBar(QStringLiteral("toolbar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(24, 24));
    const std::pair<const char*, const char16_t*> buttons[] = {{"new", u"　　新　規　作　成　　"},
                                                               {"open", u"ファイルを　開く　　　"},
                                                               {"save", u"　上　書　き　保　存　"},
                                                               {"print", u"　画面の表を　印刷　　"},
                                                               {"edit", u"データの　編集　　　"}};
    for (const auto& [picture, caption] : buttons)
        bar->addAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(picture))),
                       QString::fromUtf16(caption));

    auto* splitter = new QSplitter(&window);
    auto* tree = new QTreeWidget;
    tree->setHeaderHidden(true);
    QList<QTreeWidgetItem*> roots;
    auto* homeRoom = new QTreeWidgetItem(QStringList(u"2026年 4年2組 佐藤 美咲"_s));
    roots << homeRoom;
    const char16_t* subjects[] = {u"国語", u"社会", u"算数", u"理科", u"音楽", u"図工"};
    for (const char16_t* subject : subjects) {
        auto* s = new QTreeWidgetItem(homeRoom, QStringList(QString::fromUtf16(subject)));
        for (int j = 1; j <= 3; ++j) {
            auto* semester = new QTreeWidgetItem(s, QStringList(QString::number(j) + u"学期"_s));
            for (int t = 1; t <= 10; ++t) {
                auto* test =
                    new QTreeWidgetItem(semester, QStringList(QString::number(t) + u"回目試験"_s));
                for (int v = 1; v <= 3; ++v)
                    new QTreeWidgetItem(test, QStringList(u"観点"_s + QString::number(v)));
            }
        }
    }
    tree->addTopLevelItems(roots);
    tree->expandItem(homeRoom);

    auto* table = new QTableWidget(43, 15);
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    for (int r = 0; r < 43; ++r)
        for (int c = 0; c < 15; ++c)
            table->setItem(r, c,
                           new QTableWidgetItem(c == 1 ? u"生徒"_s + QString::number(r)
                                                       : QString::number(r * 15 + c)));
    Pane(u"ﾂﾘｰﾋﾞｭｰ（学級・科目・学期・試験）", tree, splitter);
    Pane(u"2026年（令和8年） 4年2組 佐藤 美咲 生徒数（ 40名）", table, splitter);
    splitter->setSizes({260, 900});
    window.setCentralWidget(splitter);
    window.statusBar()->showMessage(u"ツリービューの項目を選択して参照します。"_s);
    window.resize(1200, 800);
    new kirune::FirstPaintReporter(table->viewport());
    window.show();
    return QApplication::exec();
}
