#include "editorform.h"

#include "accessibility.h"
#include "output/fonts.h"
#include "twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kirune {

EditorFormBase::EditorFormBase(const char* name, const QString& title, int clientWidth,
                               int clientHeight, Qt::WindowFlags flags, QWidget* parent)
    : QWidget(parent, flags) {
    setObjectName(QLatin1String(name));
    setWindowTitle(title);
    // The main window is disabled while an editor is open; this window must stay usable.
    setEnabled(true);
    setFont(WindowFont(9));
    setFixedSize(TwipsToPixels(clientWidth), TwipsToPixels(clientHeight));
    MarkAsDialog(this);
}

void EditorFormBase::closeEvent(QCloseEvent* event) {
    if (Unload())
        event->accept();
    else
        event->ignore();
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLineEdit* NewBox(QWidget* parent, const QString& name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

QPushButton* NewButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(true);
    return button;
}

void SetTextIfDifferent(QLineEdit* box, const QString& text) {
    if (box->text() != text)
        box->setText(text);
}

} // namespace kirune
