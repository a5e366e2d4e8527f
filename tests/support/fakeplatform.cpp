#include "fakeplatform.h"

#include <QFileInfo>

namespace kirune::test {

FakePlatform::FakePlatform() : printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    pdfPath = dir.filePath(QStringLiteral("printout.pdf"));
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdfPath);
}

FakePlatform::~FakePlatform() = default;

int FakePlatform::AskChoice(const QString& text, const QList<Choice>& offered, int defaultIndex,
                            int) {
    messages.push_back(text);
    questions.push_back(text);
    if (!offered.isEmpty() && offered.front().kind != Choice::Kind::Own) {
        // はい/いいえ/キャンセル, はい/いいえ or OK/キャンセル: index 0 is はい or OK.
        if (offered.size() == 3 && !choices.empty()) {
            const Answer answer = choices.front();
            choices.pop_front();
            return static_cast<int>(answer);
        }
        if (answers.empty())
            return 1;
        const bool yes = answers.front();
        answers.pop_front();
        return yes ? 0 : 1;
    }
    QStringList texts;
    for (const Choice& answer : offered)
        texts << answer.text;
    choiceLists.push_back(texts.join(u'|'));
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
    return NextFileAnswer();
}

std::optional<QString> FakePlatform::NextFileAnswer() {
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
    dialogTitles.push_back(title);
    dialogFilters.push_back(filter);
    for (;;) {
        auto chosen = NextFileAnswer();
        if (chosen && !offer.suffix.isEmpty() && QFileInfo(*chosen).suffix().isEmpty())
            *chosen += u'.' + offer.suffix;
        const QString refused = chosen && offer.refusal ? offer.refusal(*chosen) : QString();
        if (refused.isEmpty())
            return chosen;
        messages.push_back(refused); // the dialog stays open: the next name is chosen
    }
}

std::optional<QStringList> FakePlatform::OpenFileNames(const QString& title, const QString& filter,
                                                       const QString& folder) {
    openStarts.push_back(folder);
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
