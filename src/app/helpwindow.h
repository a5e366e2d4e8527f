#pragma once
// The program's help: short pages for the teacher, kept in the program's resources and shown in
// a window of its own, opened at the contents page.

#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace kirune {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    static inline const QString kContentsPage = QStringLiteral(":/help/index.html");

    explicit HelpWindow(QWidget* parent = nullptr);
    // Makes the help pages readable (they are kept in the program's resources).
    static void EnsureResources();
    // Shows the contents page and brings the window to the front.
    void showContents();
    // Shows one page ("class.html"), or the contents page when there is no such page.
    void showPage(const QString& page);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
    QToolButton* back_;
    QToolButton* forward_;
};

} // namespace kirune
