#pragma once
// What the program sets up before its first window: the check for a display, the Japanese texts
// of Qt's own dialogs and the program's font.

#include <QFont>
#include <QString>

class QCoreApplication;

namespace kirune {

// False when no window can be opened: no display given and no other Qt platform chosen.
bool DisplayAvailable(int argc, char** argv);
// The message shown on the terminal then (Japanese and English).
QString NoDisplayMessage();
// Reports a failing Qt platform in the same clear words before Qt ends the program.
void InstallStartupMessageHandler();
// Qt's dialogs (file dialogs, message box buttons) in Japanese, as the program is Japanese.
void InstallQtTranslations(QCoreApplication& app);
// The program's font: the Japanese Gothic face the windows were designed with.
QFont ProgramFont();

} // namespace kirune
