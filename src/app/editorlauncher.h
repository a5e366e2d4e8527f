#pragma once
// Opens the editor windows (class, test, criteria) modeless and keeps track of the open ones,
// so that closing the main window can close them, the last opened first.

#include "document/mainform.h"
#include "model/gradebook.h"
#include "model/session.h"
#include "output/platform.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace kirune {

class EditorLauncher : public QObject {
    Q_OBJECT
public:
    EditorLauncher(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main,
                   QObject* parent = nullptr);
    ~EditorLauncher() override;

    // Creates the editor window of `kind` and shows it modeless, centred over the anchor window
    // and inside the screen.
    QWidget* Open(EditorKind kind);
    // The window editors open over (the main window).
    void SetAnchor(QWidget* anchor) { anchor_ = anchor; }
    // The window that shows `editor`: the editor itself when it fits into `available` (the
    // screen's area less the window frame), else a window that holds it in a scroll area, so
    // every control can be reached.
    static QWidget* FitIntoArea(QWidget* editor, const QSize& available);
    // The help page of an editor (F1 in the editor).
    static QString HelpPage(EditorKind kind);
    // Closes every open editor, the last opened first; false (and the rest left open) when one
    // stayed open because the teacher chose to go on editing.
    bool CloseAll();
    // Editors shown and not yet closed.
    int OpenCount() const;
    QWidget* LastOpened() const;

signals:
    void opened(QWidget* editor);
    // The last open editor has closed (its window is gone).
    void allClosed();

private:
    QWidget* Create(EditorKind kind);
    void Forget(QObject* editor);

    GradeBook& book_;
    Session& session_;
    Platform& platform_;
    MainFormHooks& main_;
    QPointer<QWidget> anchor_;
    std::vector<QPointer<QWidget>> open_;
};

} // namespace kirune
