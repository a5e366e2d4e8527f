#include "qtplatform.h"

#include "helpwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSpacerItem>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace kirune {

namespace {
const QString kSettingsGroup = QStringLiteral("Settings");

QSettings ProgramSettings() {
    return QSettings(kProgramTitle, kProgramTitle);
}

// The program's message boxes: wide enough for the title bar to show the whole title beside the
// frame's buttons, and Ctrl+C copies the message (for a mail to the school's IT help).
class MessageBox : public QMessageBox {
public:
    MessageBox(Icon icon, const QString& title, const QString& text, StandardButtons buttons,
               QWidget* parent)
        : QMessageBox(icon, title, text, buttons, parent) {
        constexpr int kTitleBarButtons = 160; // the frame's icon and buttons
        const int wide = std::max(320, fontMetrics().horizontalAdvance(title) + kTitleBarButtons);
        // A row of its own under everything, as wide as the title needs.
        if (auto* grid = qobject_cast<QGridLayout*>(layout()))
            grid->addItem(new QSpacerItem(wide, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                          grid->rowCount(), 0, 1, grid->columnCount());
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy)) {
            QGuiApplication::clipboard()->setText(text());
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
};
} // namespace

QtPlatform::QtPlatform() {
    lastFolder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (lastFolder_.isEmpty() || !QDir(lastFolder_).exists())
        lastFolder_ = QDir::homePath();
}

QtPlatform::~QtPlatform() = default;

QWidget* QtPlatform::DialogParent() const {
    // The window that asked is the active one (an editor or the main window); a disabled
    // window would disable its dialogs too, so it is never used as the owner.
    QWidget* active = QApplication::activeWindow();
    if (active && active->isVisible() && active->isEnabled())
        return active;
    if (mainWindow_ && mainWindow_->isVisible() && mainWindow_->isEnabled())
        return mainWindow_;
    return nullptr;
}

void QtPlatform::ShowMessage(const QString& text) {
    MessageBox box(QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::Ok, DialogParent());
    box.exec();
}

void QtPlatform::ShowInformation(const QString& text, const QString& caption) {
    MessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, DialogParent());
    box.exec();
}

bool QtPlatform::AskYesNo(const QString& text) {
    MessageBox box(QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::Yes | QMessageBox::No,
                   DialogParent());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

Platform::Answer QtPlatform::AskYesNoCancel(const QString& text) {
    MessageBox box(QMessageBox::NoIcon, kProgramTitle, text,
                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, DialogParent());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    box.button(QMessageBox::Cancel)->setText(QString::fromUtf16(u"キャンセル"));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel; // Esc and the close box as well
    }
}

bool QtPlatform::AskYesNoDefaultNo(const QString& text) {
    MessageBox box(QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::Yes | QMessageBox::No,
                   DialogParent());
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int QtPlatform::AskChoice(const QString& text, const QStringList& answers, int defaultIndex,
                          int escapeIndex) {
    MessageBox box(QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::NoButton, DialogParent());
    QList<QPushButton*> buttons;
    for (const QString& answer : answers)
        buttons << box.addButton(answer, QMessageBox::ActionRole);
    if (defaultIndex >= 0 && defaultIndex < buttons.size())
        box.setDefaultButton(buttons[defaultIndex]);
    if (escapeIndex >= 0 && escapeIndex < buttons.size())
        box.setEscapeButton(buttons[escapeIndex]);
    box.exec();
    const int chosen = static_cast<int>(buttons.indexOf(box.clickedButton()));
    return chosen >= 0 ? chosen : escapeIndex; // the close box
}

QString QtPlatform::DataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

std::optional<int> QtPlatform::ChooseFromList(const QString& title, const QString& prompt,
                                              const QStringList& items) {
    QDialog dialog(DialogParent());
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(prompt, &dialog);
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("choices"));
    list->addItems(items);
    list->setCurrentRow(0);
    label->setBuddy(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf16(u"キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    layout->addWidget(label);
    layout->addWidget(list);
    layout->addWidget(buttons);
    dialog.resize(dialog.sizeHint().expandedTo(QSize(420, 320)));
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0)
        return std::nullopt;
    return list->currentRow();
}

bool QtPlatform::AskOkCancel(const QString& text) {
    MessageBox box(QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::Ok | QMessageBox::Cancel,
                   DialogParent());
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    box.button(QMessageBox::Cancel)->setText(QString::fromUtf16(u"キャンセル"));
    return box.exec() == QMessageBox::Ok;
}

QString QtPlatform::QtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QString patterns = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns = patterns.simplified();
        if (patterns.isEmpty()) {
            if (!description.isEmpty())
                entries << description;
            continue;
        }
        const QString suffix = QStringLiteral("(") + patterns + QStringLiteral(")");
        if (description.endsWith(suffix))
            entries << description;
        else if (description.isEmpty())
            entries << suffix;
        else
            entries << description + QLatin1Char(' ') + suffix;
    }
    return entries.join(QStringLiteral(";;"));
}

void QtPlatform::RememberFolder(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!folder.isEmpty())
        lastFolder_ = folder;
}

std::optional<QString> QtPlatform::OpenFileName(const QString& title, const QString& filter) {
    const QString path =
        QFileDialog::getOpenFileName(DialogParent(), title, lastFolder_, QtFilter(filter));
    if (path.isEmpty())
        return std::nullopt;
    RememberFolder(path);
    return path;
}

std::optional<QStringList> QtPlatform::OpenFileNames(const QString& title, const QString& filter) {
    const QStringList paths =
        QFileDialog::getOpenFileNames(DialogParent(), title, lastFolder_, QtFilter(filter));
    if (paths.isEmpty())
        return std::nullopt;
    RememberFolder(paths.first());
    return paths;
}

std::optional<QString> QtPlatform::SaveFileName(const QString& title, const QString& filter) {
    // The chosen name is used as given: no extension is added here.
    const QString path =
        QFileDialog::getSaveFileName(DialogParent(), title, lastFolder_, QtFilter(filter), nullptr,
                                     QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return std::nullopt;
    RememberFolder(path);
    return path;
}

QVariant QtPlatform::ReadSetting(const QString& key, const QVariant& fallback) {
    QSettings settings = ProgramSettings();
    settings.beginGroup(kSettingsGroup);
    return settings.value(key, fallback);
}

void QtPlatform::WriteSetting(const QString& key, const QVariant& value) {
    QSettings settings = ProgramSettings();
    settings.beginGroup(kSettingsGroup);
    settings.setValue(key, value);
}

QDate QtPlatform::Today() {
    return QDate::currentDate();
}

void QtPlatform::ShowHelpPage(const QString& page) {
    HelpWindow::EnsureResources();
    if (!QFile::exists(HelpWindow::kContentsPage)) {
        ShowHelp(); // says that there is no help
        return;
    }
    if (!help_)
        help_ = std::make_unique<HelpWindow>();
    help_->showPage(page);
}

void QtPlatform::ShowHelp() {
    HelpWindow::EnsureResources();
    if (!QFile::exists(HelpWindow::kContentsPage)) {
        ShowInformation(QString::fromUtf16(u"ﾍﾙﾌﾟの目次を表示できません。 "
                                           u"このﾌﾟﾛｼﾞｪｸﾄに関連付けられたﾍﾙﾌﾟが存在しません。"),
                        mainWindow_ ? mainWindow_->windowTitle() : kProgramTitle);
        return;
    }
    if (!help_)
        help_ = std::make_unique<HelpWindow>();
    help_->showContents();
}

QPrinter& QtPlatform::Printer() {
    // Made when first needed: creating it loads the print system, which a start does not need.
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

bool QtPlatform::ShowPrinterDialog(const QString& title) {
    QPrintDialog dialog(&Printer(), DialogParent());
    dialog.setWindowTitle(title);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // A file chosen in the dialog is where the next printout goes; no second question.
    outputChosen_ = accepted && printer_->outputFormat() == QPrinter::PdfFormat &&
                    !printer_->outputFileName().isEmpty();
    return accepted;
}

bool QtPlatform::PrepareOutput() {
    if (!QPrinterInfo::availablePrinters().isEmpty() || outputChosen_)
        return true;
    QString suggested = Printer().outputFileName();
    if (suggested.isEmpty())
        suggested = QDir(lastFolder_).filePath(QString::fromUtf16(u"印刷.pdf"));
    QString path =
        QFileDialog::getSaveFileName(DialogParent(), QString::fromUtf16(u"PDFファイルに保存"),
                                     suggested, QString::fromUtf16(u"PDFファイル (*.pdf)"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(path);
    return true;
}

bool QtPlatform::PrintWithPreview(const QString& pdfName,
                                  const std::function<bool(QPrinter&)>& paint) {
    QPrinter& printer = Printer();
    // Without a printer the preview's print button saves a PDF file: it offers the class's and
    // the table's name in the folder last used, never the name of the last printout.
    if (printer.outputFormat() == QPrinter::PdfFormat ||
        QPrinterInfo::availablePrinters().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir(lastFolder_).filePath(pdfName));
    }
    QPrintPreviewDialog dialog(&printer, DialogParent());
    dialog.setWindowTitle(QString::fromUtf16(u"印刷プレビュー"));
    if (const QScreen* screen = dialog.screen()) {
        const QSize available = screen->availableGeometry().size();
        dialog.resize(available.width() * 4 / 5, available.height() * 4 / 5);
    }
    bool painted = true;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&](QPrinter* target) { painted = paint(*target); });
    if (dialog.exec() != QDialog::Accepted || !painted)
        return false;
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        RememberFolder(printer.outputFileName());
    outputChosen_ = false;
    ReportPrinted();
    return true;
}

bool QtPlatform::ShowPageSetup() {
    QPageSetupDialog dialog(&Printer(), DialogParent());
    dialog.setWindowTitle(QString::fromUtf16(u"ﾍﾟｰｼﾞ設定"));
    return dialog.exec() == QDialog::Accepted;
}

QString QtPlatform::PdfReportText(const QString& path, bool noPrinter) {
    const QString lead = noPrinter ? QString::fromUtf16(u"印刷できるプリンターがないため、"
                                                        u"PDFファイルに保存しました：")
                                   : QString::fromUtf16(u"PDFファイルに保存しました：");
    return lead + QDir::toNativeSeparators(path);
}

void QtPlatform::ReportPrinted() {
    outputChosen_ = false;
    if (printer_ && printer_->outputFormat() == QPrinter::PdfFormat &&
        !printer_->outputFileName().isEmpty())
        ShowMessage(
            PdfReportText(printer_->outputFileName(), QPrinterInfo::availablePrinters().isEmpty()));
}

} // namespace kirune
