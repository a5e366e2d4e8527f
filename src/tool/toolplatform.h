#pragma once
// The desktop as kirune-tool sees it: no window ever opens. Messages and questions go to stderr
// (every Yes/No question is answered No, other questions take their default answer), file dialogs
// take their answers from a queue the command fills, settings live in memory, and the printer
// writes a PDF file the command names.

#include "output/platform.h"

#include <QPrinter>
#include <deque>
#include <functional>
#include <map>
#include <memory>

namespace kirune::tool {

class ToolPlatform : public Platform {
public:
    ToolPlatform();
    ~ToolPlatform() override;

    void ShowMessage(const QString& text) override;
    // Prints the question and the answer taken: いいえ to a question of the usual answers, the
    // chooser's answer, or the next of `choiceAnswers` (or the default), to one with answers of
    // its own.
    int AskChoice(const QString& text, const QList<Choice>& answers, int defaultIndex,
                  int escapeIndex) override;
    std::optional<QString> OpenFileName(const QString& title, const QString& filter) override;
    std::optional<QString> SaveFileName(const QString& title, const QString& filter,
                                        const SaveOffer& offer) override;
    QVariant ReadSetting(const QString& key, const QVariant& fallback) override;
    void WriteSetting(const QString& key, const QVariant& value) override;
    QDate Today() override;
    void ShowHelp() override {}
    QPrinter& Printer() override { return *printer_; }
    bool ShowPrinterDialog(const QString&) override { return true; }
    bool PrepareOutput() override { return true; }
    void ReportPrinted() override {}

    // Runs `print` with the printer writing the PDF file `path` (made absolute). False, with a
    // line on stderr, when `print` fails, shows a message, or leaves no file behind.
    bool PrintToPdf(const QString& path, const std::function<bool()>& print);

    // Answers for the next file dialogs, in order; an empty queue cancels the dialog.
    std::deque<QString> fileAnswers;
    // Answers (indexes) for the next questions with answers of their own; an empty queue takes
    // each question's default answer.
    std::deque<int> choiceAnswers;
    // When set, answers every question with answers of its own instead (given the question, its
    // answers and its default answer).
    std::function<int(const QString&, const QList<Choice>&, int)> chooser;
    // Messages and questions shown so far.
    int messageCount = 0;

private:
    std::map<QString, QVariant> settings_;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace kirune::tool
