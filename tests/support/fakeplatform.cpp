#include "fakeplatform.h"

#include <QFileInfo>

namespace kirune::test {

FakePlatform::FakePlatform() : printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    pdfPath = dir.filePath(QStringLiteral("printout.pdf"));
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdfPath);
}

FakePlatform::~FakePlatform() = default;

bool FakePlatform::AskYesNo(const QString& text) {
    messages.push_back(text);
    questions.push_back(text);
    if (answers.empty())
        return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

Platform::Answer FakePlatform::AskYesNoCancel(const QString& text) {
    if (choices.empty())
        return AskYesNo(text) ? Answer::Yes : Answer::No;
    messages.push_back(text);
    questions.push_back(text);
    const Answer answer = choices.front();
    choices.pop_front();
    return answer;
}

bool FakePlatform::AskYesNoDefaultNo(const QString& text) {
    return AskYesNo(text);
}

int FakePlatform::AskChoice(const QString& text, const QStringList& answers, int defaultIndex,
                            int) {
    messages.push_back(text);
    questions.push_back(text);
    choiceLists.push_back(answers.join(u'|'));
    if (choiceAnswers.empty())
        return defaultIndex;
    const int answer = choiceAnswers.front();
    choiceAnswers.pop_front();
    return answer;
}

std::optional<int> FakePlatform::ChooseFromList(const QString& title, const QString&,
                                                const QStringList& items) {
    dialogTitles.push_back(title);
    lists.push_back(items.join(u'|'));
    if (listAnswers.empty())
        return std::nullopt;
    const auto answer = listAnswers.front();
    listAnswers.pop_front();
    return answer;
}

std::optional<QString> FakePlatform::OpenFileName(const QString& title, const QString& filter) {
    dialogTitles.push_back(title);
    dialogFilters.push_back(filter);
    if (fileAnswers.empty())
        return std::nullopt;
    // The text is taken out as a plain QString: copying the optional makes GCC 12 warn of a
    // "maybe uninitialized" QString in Release builds.
    const bool given = fileAnswers.front().has_value();
    const QString answer = given ? *fileAnswers.front() : QString();
    fileAnswers.pop_front();
    if (!given)
        return std::nullopt;
    return answer;
}

std::optional<QString> FakePlatform::SaveFileName(const QString& title, const QString& filter,
                                                  const SaveOffer& offer) {
    saveStarts.push_back(offer.startPath);
    auto chosen = OpenFileName(title, filter);
    if (chosen && !offer.suffix.isEmpty() && QFileInfo(*chosen).suffix().isEmpty())
        *chosen += u'.' + offer.suffix;
    return chosen;
}

std::optional<QStringList> FakePlatform::OpenFileNames(const QString& title,
                                                       const QString& filter) {
    dialogTitles.push_back(title);
    dialogFilters.push_back(filter);
    if (fileListAnswers.empty())
        return std::nullopt;
    const QStringList answer = fileListAnswers.front();
    fileListAnswers.pop_front();
    return answer;
}

QVariant FakePlatform::ReadSetting(const QString& key, const QVariant& fallback) {
    auto it = settings.find(key);
    return it == settings.end() ? fallback : it->second;
}

bool FakePlatform::ShowPrinterDialog(const QString& title) {
    printerDialogTitles.push_back(title);
    if (printerDialogAnswers.empty())
        return true;
    const bool answer = printerDialogAnswers.front();
    printerDialogAnswers.pop_front();
    return answer;
}

namespace {
bool Next(std::deque<bool>& answers) {
    if (answers.empty())
        return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}
} // namespace

bool FakePlatform::PrintWithPreview(const QString& pdfName,
                                    const std::function<bool(QPrinter&)>& paint) {
    previewNames.push_back(pdfName);
    if (!Next(previewAnswers) || !paint(*printer))
        return false;
    ReportPrinted();
    return true;
}

bool FakePlatform::ShowPageSetup() {
    ++pageSetups;
    return Next(pageSetupAnswers);
}

} // namespace kirune::test
