#pragma once
// A desktop for the benchmarks: it asks nothing, stores nothing, counts its messages and prints
// to a PDF file when given one.

#include "output/platform.h"

#include <QPrinter>
#include <memory>

namespace kirune::bench {

class QuietPlatform : public Platform {
public:
    QuietPlatform() = default;
    explicit QuietPlatform(const QString& pdf) : pdf_(pdf) {}
    void ShowMessage(const QString&) override { ++messages; }
    void ShowInformation(const QString&, const QString&) override { ++messages; }
    bool AskYesNo(const QString&) override { return false; }
    std::optional<QString> OpenFileName(const QString&, const QString&) override { return {}; }
    std::optional<QString> SaveFileName(const QString&, const QString&, const SaveOffer&) override {
        return {};
    }
    QVariant ReadSetting(const QString&, const QVariant& fallback) override { return fallback; }
    void WriteSetting(const QString&, const QVariant&) override {}
    QDate Today() override { return QDate(2026, 6, 10); }
    void ShowHelp() override {}
    // Made when first asked for: a benchmark without printing needs no application object.
    QPrinter& Printer() override {
        if (!printer_) {
            printer_ = std::make_unique<QPrinter>();
            if (!pdf_.isEmpty()) {
                printer_->setOutputFormat(QPrinter::PdfFormat);
                printer_->setOutputFileName(pdf_);
            }
        }
        return *printer_;
    }
    bool ShowPrinterDialog(const QString&) override { return !pdf_.isEmpty(); }
    bool PrepareOutput() override { return !pdf_.isEmpty(); }
    void ReportPrinted() override {}
    int messages = 0;

private:
    QString pdf_;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace kirune::bench
