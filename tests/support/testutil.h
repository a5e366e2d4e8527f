#pragma once
// Small helpers every test program uses: Japanese literals as QString, and QString values shown
// as text when an expectation fails.

#include <QString>
#include <ostream>

// Found by GoogleTest through argument-dependent lookup (QString lives in the global namespace).
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// "Kirune Ver1.2.2": the program's name with the build's project version (the top CMakeLists.txt),
// which every window title and graph page shows.
inline const QString kProjectTitle = QStringLiteral("Kirune Ver" KIRUNE_PROJECT_VERSION);
