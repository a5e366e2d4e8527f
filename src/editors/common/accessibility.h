#pragma once
// What the editor windows give the keyboard and assistive technology: captions with access keys
// in the Japanese manner, names for every control, and the dialog role of the windows.

#include <QColor>
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
// The contrast of two colours as the Web's accessibility guidelines measure it, from 1 (none)
// to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);
// The least contrast a text keeps with what is behind it.
inline constexpr double kReadableContrast = 4.5;
// `wanted`, or the colour nearest to it towards white or black (whichever the background
// needs) that keeps kReadableContrast with `background`: a blue hint stays blue in a light
// palette and turns light blue in a dark one.
QColor ReadableOn(const QColor& wanted, const QColor& background);
// Marks an editor window as a dialog for assistive technology (Qt reports a plain window as a
// filler).
void MarkAsDialog(QWidget* window);

} // namespace kirune
