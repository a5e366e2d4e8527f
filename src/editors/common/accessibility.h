#pragma once
// What the editor windows give the keyboard and assistive technology: captions with access keys
// in the Japanese manner, names for every control, and the dialog role of the windows.

#include <QString>

class QAbstractButton;
class QLabel;
class QWidget;

namespace kirune {

// `caption` with its access key appended in the Japanese manner ("登録" and 'R' give "登録(&R)",
// shown "登録(R)").
QString WithAccessKey(const QString& caption, char key);
// Gives `button` its caption with an access key, and the caption alone as its accessible name.
void SetButtonCaption(QAbstractButton* button, const QString& caption, char key);
// Makes `label` the access key of `button` (a picture button): the key presses the button.
void SetLabelAccessKey(QLabel* label, const QString& caption, char key, QAbstractButton* button);
// Marks an editor window as a dialog for assistive technology (Qt reports a plain window as a
// filler).
void MarkAsDialog(QWidget* window);

} // namespace kirune
