#pragma once
// What the homeroom and test editor windows share: a window of fixed size in twips, in the
// editors' font and marked as a dialog for assistive technology, whose close box acts as ｷｬﾝｾﾙ
// (the teacher may choose to go on editing); and the factories of their controls, which carry
// the designer's names. The criteria windows share theirs in CriteriaFormBase.

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kirune {

class EditorFormBase : public QWidget {
protected:
    // A window named `name` with `title`, `flags` and a client area of the given twips.
    EditorFormBase(const char* name, const QString& title, int clientWidth, int clientHeight,
                   Qt::WindowFlags flags, QWidget* parent);
    // The editor's unload routine (as ｷｬﾝｾﾙ): false when the teacher chose to stay.
    virtual bool Unload() = 0;
    void closeEvent(QCloseEvent* event) override;
};

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text);
QLineEdit* NewBox(QWidget* parent, const QString& name);
// A button that takes Enter itself while it has the focus.
QPushButton* NewButton(QWidget* parent, const char* name, const QString& caption);
void SetTextIfDifferent(QLineEdit* box, const QString& text);

} // namespace kirune
