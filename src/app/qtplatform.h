#pragma once
// The desktop services of the program on Qt: message boxes, file dialogs, the settings store,
// the printer with its dialog, the help window and today's date.

#include "output/platform.h"

#include <QPointer>
#include <QString>
#include <memory>

class QPrinter;
class QWidget;

namespace kirune {

class HelpWindow;

class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    // The window that dialogs belong to when no window of the program is active.
    void SetMainWindow(QWidget* window) { mainWindow_ = window; }

    void ShowMessage(const QString& text) override;
    // An OK message box with an information icon under a caption of its own (the help's).
    void ShowInformation(const QString& text, const QString& caption);
    std::optional<QString> OpenFileName(const QString& title, const QString& filter) override;
    std::optional<QStringList> OpenFileNames(const QString& title, const QString& filter,
                                             const QString& folder) override;
    std::optional<QString> SaveFileName(const QString& title, const QString& filter,
                                        const SaveOffer& offer) override;
    QVariant ReadSetting(const QString& key, const QVariant& fallback) override;
    void WriteSetting(const QString& key, const QVariant& value) override;
    QDate Today() override;
    void ShowHelp() override;
    QPrinter& Printer() override;
    bool ShowPrinterDialog(const QString& title) override;
    bool PrepareOutput() override;
    void ReportPrinted() override;
    int AskChoice(const QString& text, const QList<Choice>& answers, int defaultIndex,
                  int escapeIndex) override;
    QString DataFolder() override;
    std::optional<int> ChooseFromList(const QString& title, const QString& prompt,
                                      const QStringList& items) override;
    bool PrintWithPreview(const QString& pdfName,
                          const std::function<bool(QPrinter&)>& paint) override;
    bool ShowPageSetup() override;
    void ShowHelpPage(const QString& page) override;

    // "ﾃｷｽﾄﾌｧｲﾙ (*.txt)|*.txt" -> "ﾃｷｽﾄﾌｧｲﾙ (*.txt)"; pairs after the first become further
    // entries; a description without its patterns gets them appended in parentheses.
    static QString QtFilter(const QString& filter);
    // The text telling where a printout written to a PDF file went.
    static QString PdfReportText(const QString& path, bool noPrinter);

    HelpWindow* helpWindow() const { return help_.get(); }
    bool HasPrinter() const { return printer_ != nullptr; }
    QString lastFolder() const { return lastFolder_; }

private:
    QWidget* DialogParent() const;
    void RememberFolder(const QString& path);

    QPointer<QWidget> mainWindow_;
    QString lastFolder_;
    bool outputChosen_ = false;         // the printer dialog was accepted with a PDF file named
    std::unique_ptr<QPrinter> printer_; // made at the first print or page set-up
    std::unique_ptr<HelpWindow> help_;
};

} // namespace kirune
