#include "helpwindow.h"
#include "output/version.h"

#include <QFile>
#include <QHBoxLayout>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

// The help pages live in a static library: register them before the first use.
static void InitHelpResources() {
    Q_INIT_RESOURCE(kirune);
}

namespace kirune {

void HelpWindow::EnsureResources() {
    static const bool done = [] {
        InitHelpResources();
        return true;
    }();
    (void)done;
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    EnsureResources();
    setWindowTitle(kTitleWithVersion + u" ヘルプ"_s);
    // The help never keeps the program running once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* contents = new QToolButton(this);
    contents->setText(u"目次"_s);
    back_ = new QToolButton(this);
    back_->setText(u"戻る"_s);
    forward_ = new QToolButton(this);
    forward_->setText(u"進む"_s);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    buttons->addStretch();

    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(false);
    browser_->setOpenLinks(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(browser_);

    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(contents, &QToolButton::clicked, this,
            [this] { browser_->setSource(QUrl(QStringLiteral("qrc") + kContentsPage)); });
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
    resize(640, 560);
}

void HelpWindow::showContents() {
    browser_->setSource(QUrl(QStringLiteral("qrc") + kContentsPage));
    show();
    raise();
    activateWindow();
}

void HelpWindow::showPage(const QString& page) {
    const QString path = QStringLiteral(":/help/") + page;
    if (page.isEmpty() || !QFile::exists(path)) {
        showContents();
        return;
    }
    browser_->setSource(QUrl(QStringLiteral("qrc") + path));
    show();
    raise();
    activateWindow();
}

} // namespace kirune
