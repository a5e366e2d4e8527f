#include "qtplatform.h"

#include "helpwindow.h"
#include "output/printarea.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {
const QString kSettingsGroup = QStringLiteral("Settings");

QSettings ProgramSettings() {
    return QSettings(kProgramTitle, kProgramTitle);
}

// The program's message boxes: the text, an icon when one is asked for, and the answers as
// buttons. A dialog of our own, since a QMessageBox sizes itself by rules of its own: this one
// is at least 320 pixels wide and leaves room beside its whole title for the title bar's
// buttons (three of the style's title-bar buttons), and Ctrl+C copies the message (for a mail
// to the school's IT help).
class MessageBox : public QDialog {
public:
    MessageBox(const QString& title, const QString& text, QWidget* parent, bool information = false)
        : QDialog(parent), text_(text) {
        setWindowTitle(title);
        auto* message = new QHBoxLayout;
        if (information) {
            auto* icon = new QLabel(this);
            const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
            icon->setPixmap(style()
                                ->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this)
                                .pixmap(size));
            message->addWidget(icon, 0, Qt::AlignTop);
        }
        auto* label = new QLabel(text, this);
        label->setWordWrap(true);
        message->addWidget(label, 1);
        buttons_ = new QDialogButtonBox(this);
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(message);
        layout->addWidget(buttons_);
        connect(buttons_, &QDialogButtonBox::clicked, this, [this](QAbstractButton* button) {
            clicked_ = button;
            accept();
        });
        const int titleBar = 3 * style()->pixelMetric(QStyle::PM_TitleBarButtonSize, nullptr, this);
        setMinimumWidth(std::max(320, fontMetrics().horizontalAdvance(title) + titleBar));
    }

    // The usual answers are the box's standard buttons (their place and icon as the desktop
    // has them), under the texts the program gives them; others are plain buttons.
    QPushButton* Add(const Choice& answer) {
        QDialogButtonBox::StandardButton standard = QDialogButtonBox::NoButton;
        switch (answer.kind) {
        case Choice::Kind::Own:
            return buttons_->addButton(answer.text, QDialogButtonBox::ActionRole);
        case Choice::Kind::Yes:
            standard = QDialogButtonBox::Yes;
            break;
        case Choice::Kind::No:
            standard = QDialogButtonBox::No;
            break;
        case Choice::Kind::Ok:
            standard = QDialogButtonBox::Ok;
            break;
        case Choice::Kind::Cancel:
            standard = QDialogButtonBox::Cancel;
            break;
        }
        QPushButton* button = buttons_->addButton(standard);
        button->setText(answer.text);
        return button;
    }
    // Shows the box until an answer is given: the button clicked, `escape` for Esc and the close
    // box. Enter clicks `byDefault`.
    QAbstractButton* Ask(QPushButton* byDefault, QAbstractButton* escape) {
        if (byDefault)
            byDefault->setDefault(true);
        exec();
        return clicked_ ? clicked_ : escape;
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy)) {
            QGuiApplication::clipboard()->setText(text_);
            event->accept();
            return;
        }
        QDialog::keyPressEvent(event);
    }

private:
    QString text_;
    QDialogButtonBox* buttons_ = nullptr;
    QAbstractButton* clicked_ = nullptr;
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
    MessageBox box(kProgramTitle, text, DialogParent());
    QPushButton* ok = box.Add(kOkButton);
    box.Ask(ok, ok);
}

void QtPlatform::ShowInformation(const QString& text, const QString& caption) {
    MessageBox box(caption, text, DialogParent(), true);
    QPushButton* ok = box.Add(kOkButton);
    box.Ask(ok, ok);
}

int QtPlatform::AskChoice(const QString& text, const QList<Choice>& answers, int defaultIndex,
                          int escapeIndex) {
    MessageBox box(kProgramTitle, text, DialogParent());
    QList<QPushButton*> buttons;
    for (const Choice& answer : answers)
        buttons << box.Add(answer);
    auto button = [&](int index) {
        return index >= 0 && index < buttons.size() ? buttons[index] : nullptr;
    };
    const int chosen =
        static_cast<int>(buttons.indexOf(box.Ask(button(defaultIndex), button(escapeIndex))));
    return chosen >= 0 ? chosen : escapeIndex;
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
    buttons->button(QDialogButtonBox::Cancel)->setText(kCancelButton.text);
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

std::optional<QStringList> QtPlatform::OpenFileNames(const QString& title, const QString& filter,
                                                     const QString& folder) {
    const QStringList paths = QFileDialog::getOpenFileNames(
        DialogParent(), title, folder.isEmpty() ? lastFolder_ : folder, QtFilter(filter));
    if (paths.isEmpty())
        return std::nullopt;
    RememberFolder(paths.first());
    return paths;
}

namespace {

// A save dialog that looks at the chosen file before its question about replacing it: a file
// that would be refused is named in a message, and the dialog stays open for another name.
class CheckedSaveDialog : public QFileDialog {
public:
    CheckedSaveDialog(QWidget* parent, const QString& title, const QString& filter,
                      std::function<QString(const QString&)> refusal, Platform& platform)
        : QFileDialog(parent, title, QString(), filter), refusal_(std::move(refusal)),
          platform_(platform) {
        // A desktop's own dialog asks about replacing a file before it lets this one look.
        if (refusal_)
            setOption(QFileDialog::DontUseNativeDialog);
    }

protected:
    void accept() override {
        const QStringList files = selectedFiles();
        if (refusal_ && files.size() == 1 && !QFileInfo(files.front()).isDir()) {
            const QString refused = refusal_(files.front());
            if (!refused.isEmpty()) {
                platform_.ShowMessage(refused);
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    std::function<QString(const QString&)> refusal_;
    Platform& platform_;
};

} // namespace

std::optional<QString> QtPlatform::SaveFileName(const QString& title, const QString& filter,
                                                const SaveOffer& offer) {
    CheckedSaveDialog dialog(DialogParent(), title, QtFilter(filter), offer.refusal, *this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The suffix is the dialog's own, so that its question about replacing a file is asked of
    // the name that is saved.
    dialog.setDefaultSuffix(offer.suffix);
    // A name without a folder is offered in the folder last chosen.
    if (offer.startPath.isEmpty()) {
        dialog.setDirectory(lastFolder_);
    } else {
        const QFileInfo start(QDir(lastFolder_), offer.startPath);
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog.selectedFiles().constFirst();
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
        ShowInformation(u"ﾍﾙﾌﾟの目次を表示できません。 "
                        u"このﾌﾟﾛｼﾞｪｸﾄに関連付けられたﾍﾙﾌﾟが存在しません。"_s,
                        mainWindow_ ? mainWindow_->windowTitle() : kProgramTitle);
        return;
    }
    if (!help_)
        help_ = std::make_unique<HelpWindow>();
    help_->showContents();
}

QPrinter& QtPlatform::Printer() {
    // Made when first needed: creating it loads the print system, which a start does not need.
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        KeepPaperMargins(*printer_);
    }
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
        suggested = QDir(lastFolder_).filePath(u"印刷.pdf"_s);
    QString path = QFileDialog::getSaveFileName(DialogParent(), u"PDFファイルに保存"_s, suggested,
                                                u"PDFファイル (*.pdf)"_s);
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
    dialog.setWindowTitle(u"印刷プレビュー"_s);
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
    dialog.setWindowTitle(u"ﾍﾟｰｼﾞ設定"_s);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    KeepPaperMargins(Printer()); // a narrower margin chosen: the next set-up shows what is kept
    return accepted;
}

QString QtPlatform::PdfReportText(const QString& path, bool noPrinter) {
    const QString lead = noPrinter ? u"印刷できるプリンターがないため、"
                                     u"PDFファイルに保存しました："_s
                                   : u"PDFファイルに保存しました："_s;
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
