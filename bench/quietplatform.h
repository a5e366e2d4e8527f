#pragma once
// A desktop for the benchmarks: it asks nothing, stores nothing, counts its messages and prints
// to a PDF file when given one.

#include "output/platform.h"

#include <QPrinter>

namespace kirune::bench {

class QuietPlatform : public Platform {
public:
    QuietPlatform() = default;
    explicit QuietPlatform(const QString& pdf) {
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(pdf);
    }
    void ShowMessage(const QString&) override { ++messages; }
    void ShowInformation(const QString&, const QString&) override { ++messages; }
    bool AskYesNo(const QString&) override { return false; }
    std::optional<QString> OpenFileName(const QString&, const QString&) override { return {}; }
    std::optional<QString> SaveFileName(const QString&, const QString&) override { return {}; }
    QVariant ReadSetting(const QString&, const QVariant& fallback) override { return fallback; }
    void WriteSetting(const QString&, const QVariant&) override {}
    QDate Today() override { return QDate(2026, 6, 10); }
    void ShowHelp() override {}
    QPrinter& Printer() override { return printer_; }
    bool ShowPrinterDialog(const QString&) override { return !printer_.outputFileName().isEmpty(); }
    bool PrepareOutput() override { return !printer_.outputFileName().isEmpty(); }
    void ReportPrinted() override {}
    int messages = 0;

private:
    QPrinter printer_;
};

} // namespace kirune::bench
