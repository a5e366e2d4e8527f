#pragma once
// File > 学年の集計: the grade's classes side by side in a window of its own. This is the window's
// behaviour without the window: the books chosen, the period shown, the table, the notes under it,
// printing and saving. The books are read as they are on disk each time the period changes (no
// lock, nothing written beside them); the open book, if any, is not touched.

#include "browse/gradesummary.h"
#include "output/platform.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace kirune {

class GradeSummaryLogic {
public:
    // `openBookPath`: the book open in the main window ("" when none), which a save never
    // replaces.
    GradeSummaryLogic(Platform& platform, const QString& openBookPath);

    // The choices of the period box, in order: 学年, 一学期, 二学期, 三学期.
    static QStringList PeriodChoices();
    // Reads `paths` for the period `choice` (the whole year by default). False, after a message,
    // when there is no table (nothing chosen, or nothing readable).
    bool Load(const QStringList& paths, int choice = 0);
    // The period box: index into PeriodChoices. The books are read again.
    void ChoosePeriod(int choice);
    int PeriodChoice() const { return choice_; }

    // 印刷: the table on one A4 landscape page, through the print preview; a PDF file is made
    // aside and never put over the open book, a book summarised or their backups. False when
    // nothing was printed.
    bool Print();
    // 保存: asks for a name; an Excel workbook, or a CSV file for a name ending in ".csv".
    void SaveAs();
    // F1: the help page of the summary.
    void Help() { platform_.ShowHelpPage(QStringLiteral("summary.html")); }
    // Saves to `path` as SaveAs does after its dialog; false after a message when not saved.
    bool SaveTo(const QString& path);

    const GradeSummary& Summary() const { return summary_; }
    Grid grid;                     // the table shown
    QString caption;               // the line above it
    QStringList notes;             // listed under it
    QString statusText;            // the last confirmation
    std::function<void()> changed; // what the window shows has changed

private:
    void Show();
    Platform& platform_;
    QString openBookPath_;
    QStringList paths_;
    GradeSummary summary_;
    int choice_ = 0;
};

} // namespace kirune
