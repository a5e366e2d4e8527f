#include "toolplatform.h"

#include "commands.h"

#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace kirune::tool {

ToolPlatform::ToolPlatform() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
}

ToolPlatform::~ToolPlatform() = default;

void ToolPlatform::ShowMessage(const QString& text) {
    ++messageCount;
    PrintError(text);
}

int ToolPlatform::AskChoice(const QString& text, const QList<Choice>& answers, int defaultIndex,
                            int escapeIndex) {
    ++messageCount;
    const bool usual = !answers.isEmpty() && answers.front().kind != Choice::Kind::Own;
    int chosen = UnaskedAnswer(answers, defaultIndex, escapeIndex);
    if (!usual && chooser) {
        chosen = chooser(text, answers, defaultIndex);
    } else if (!usual && !choiceAnswers.empty()) {
        chosen = choiceAnswers.front();
        choiceAnswers.pop_front();
    }
    // The answer's word alone: "はい(&Y)" -> "はい", "&Yes" -> "Yes".
    QString shown = answers.value(chosen, Choice(QString())).text;
    shown.remove(QRegularExpression(QStringLiteral(R"(\(&.\))")));
    shown.remove(QRegularExpression(QStringLiteral("&(?=.)")));
    PrintError(text + QStringLiteral(" -> ") + shown);
    return chosen;
}

std::optional<QString> ToolPlatform::OpenFileName(const QString&, const QString&) {
    if (fileAnswers.empty())
        return std::nullopt;
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<QString> ToolPlatform::SaveFileName(const QString& title, const QString& filter,
                                                  const SaveOffer&) {
    return OpenFileName(title, filter);
}

QVariant ToolPlatform::ReadSetting(const QString& key, const QVariant& fallback) {
    auto it = settings_.find(key);
    return it == settings_.end() ? fallback : it->second;
}

void ToolPlatform::WriteSetting(const QString& key, const QVariant& value) {
    settings_[key] = value;
}

QDate ToolPlatform::Today() {
    return QDate::currentDate();
}

bool ToolPlatform::PrintToPdf(const QString& path, const std::function<bool()>& print) {
    const QString out = QFileInfo(path).absoluteFilePath();
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(out);
    const int before = messageCount;
    if (print() && messageCount == before && QFileInfo(out).isFile())
        return true;
    PrintError(u"PDFファイルを書き込めませんでした: "_s + out);
    return false;
}

} // namespace kirune::tool
