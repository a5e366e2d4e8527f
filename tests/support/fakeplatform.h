#pragma once
// A scripted stand-in for the desktop: records every message, answers questions and file dialogs
// from queues, keeps settings in memory and prints to a PDF file in a temporary folder.

#include "output/platform.h"

#include <QPrinter>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <map>
#include <memory>

namespace kirune::test {

class FakePlatform : public Platform {
public:
    FakePlatform();
    ~FakePlatform() override;

    void ShowMessage(const QString& text) override { messages.push_back(text); }
    std::optional<QString> OpenFileName(const QString& title, const QString& filter) override;
    // Records the folder it starts in.
    std::optional<QStringList> OpenFileNames(const QString& title, const QString& filter,
                                             const QString& folder) override;
    // Records where the dialog starts and the suffix it adds; a scripted name without an
    // extension gets the suffix, as the dialog gives it. A name the offer refuses is recorded
    // as a message and the next scripted name is taken, as the dialog stays open.
    std::optional<QString> SaveFileName(const QString& title, const QString& filter,
                                        const SaveOffer& offer) override;
    QVariant ReadSetting(const QString& key, const QVariant& fallback) override;
    void WriteSetting(const QString& key, const QVariant& value) override { settings[key] = value; }
    QDate Today() override { return today; }
    void ShowHelp() override { ++helpShown; }
    QPrinter& Printer() override { return *printer; }
    bool ShowPrinterDialog(const QString& title) override;
    bool PrepareOutput() override { return true; }
    void ReportPrinted() override { ++printed; }
    // Questions of the usual answers are answered from `choices` (はい/いいえ/キャンセル) or
    // `answers`; questions with answers of their own from `choiceAnswers`.
    int AskChoice(const QString& text, const QList<Choice>& answers, int defaultIndex,
                  int escapeIndex) override;
    QString DataFolder() override { return dataDir.path(); }
    QDateTime Now() override { return now; }
    std::optional<int> ChooseFromList(const QString& title, const QString& prompt,
                                      const QStringList& items) override;
    // The preview prints at once (or is closed, as scripted); the page set-up is recorded.
    bool PrintWithPreview(const QString& pdfName,
                          const std::function<bool(QPrinter&)>& paint) override;
    bool ShowPageSetup() override;
    void ShowHelpPage(const QString& page) override { helpPages << page; }

    // Scripts: answers to はい/いいえ and OK/キャンセル questions (default いいえ/キャンセル when
    // empty) and dialog results (nullopt = cancel; default cancel when empty).
    std::deque<bool> answers;
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<bool> printerDialogAnswers; // default true
    // Answers to はい/いいえ/キャンセル questions; when empty, `answers` answers them (Yes or No).
    std::deque<Answer> choices;
    std::deque<std::optional<int>> listAnswers; // default cancel
    std::deque<int> choiceAnswers;              // answers of their own; default: the default answer
    std::deque<bool> previewAnswers;            // print from the preview; default true
    std::deque<bool> pageSetupAnswers;          // default true
    std::deque<QStringList> fileListAnswers;    // several files at once; default cancel

    // Records.
    QStringList messages;  // message boxes and questions, in order
    QStringList questions; // questions only
    QStringList dialogTitles;
    QStringList dialogFilters;
    QStringList saveStarts; // the start path of every save dialog
    QStringList openStarts; // the folder of every dialog that takes several files
    QStringList printerDialogTitles;
    std::map<QString, QVariant> settings;
    QDate today{2026, 12, 7};
    int helpShown = 0;
    QStringList helpPages;
    QStringList previewNames; // the PDF names offered by each preview
    int pageSetups = 0;
    int printed = 0;
    QStringList lists;       // the items of every list shown, joined by "|"
    QStringList choiceLists; // the answers offered by every question with answers of its own,
                             // joined by "|"
    QDateTime now{QDate(2026, 12, 7), QTime(10, 15, 30)};
    QTemporaryDir dataDir; // the user's data folder

    QTemporaryDir dir;
    QString pdfPath; // where the printer writes
    std::unique_ptr<QPrinter> printer;

private:
    std::optional<QString> NextFileAnswer(); // from fileAnswers; nullopt when cancelled
};

} // namespace kirune::test
