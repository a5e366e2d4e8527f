#pragma once
// What the program needs from the desktop, behind one small interface: message boxes, file
// dialogs, the printer, the settings store, the help viewer and today's date. The Qt
// implementation lives with the windows; tests pass a scripted one.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

class QPrinter;

namespace kirune {

inline const QString kProgramTitle = QStringLiteral("Kirune");

// One answer of a question, as its button reads. The usual answers (kYesButton, kNoButton,
// kOkButton, kCancelButton) are the desktop's own buttons, with their icons; any other text is a
// plain button of our own.
struct Choice {
    enum class Kind { Own, Yes, No, Ok, Cancel };
    Choice(const QString& text) : text(text) {} // NOLINT: an answer of our own, written as its text
    Choice(Kind kind, const QString& text) : kind(kind), text(text) {}
    bool operator==(const Choice&) const = default;
    Kind kind = Kind::Own;
    QString text;
};
inline const Choice kYesButton{Choice::Kind::Yes, QString::fromUtf16(u"はい(&Y)")};
inline const Choice kNoButton{Choice::Kind::No, QString::fromUtf16(u"いいえ(&N)")};
inline const Choice kOkButton{Choice::Kind::Ok, QStringLiteral("OK")};
inline const Choice kCancelButton{Choice::Kind::Cancel, QString::fromUtf16(u"キャンセル")};

class Platform {
public:
    virtual ~Platform() = default;

    // OK message box, no icon, the program's title as caption.
    virtual void ShowMessage(const QString& text) = 0;
    // A question, no icon, the program's title as caption: the index of the answer chosen.
    // `defaultIndex` is Enter's answer, `escapeIndex` is Esc's and the close box's. Without a box
    // of its own, a question of the usual answers is answered いいえ when that is offered (else
    // Esc's answer), any other question with its default answer.
    virtual int AskChoice(const QString& text, const QList<Choice>& answers, int defaultIndex,
                          int escapeIndex) {
        (void)text;
        return UnaskedAnswer(answers, defaultIndex, escapeIndex);
    }
    // The answer a platform without boxes gives, as AskChoice describes.
    static int UnaskedAnswer(const QList<Choice>& answers, int defaultIndex, int escapeIndex) {
        if (answers.isEmpty() || answers.front().kind == Choice::Kind::Own)
            return defaultIndex;
        for (qsizetype i = 0; i < answers.size(); ++i)
            if (answers[i].kind == Choice::Kind::No)
                return static_cast<int>(i);
        return escapeIndex;
    }
    // The answers of a はい/いいえ/キャンセル question (AskYesNoCancel below).
    enum class Answer { Yes, No, Cancel };

    // File dialogs. `filter` is given as "description|pattern" ("ﾃｷｽﾄﾌｧｲﾙ (*.txt)|*.txt"); the
    // dialog starts in the folder last chosen in it. nullopt when cancelled.
    virtual std::optional<QString> OpenFileName(const QString& title, const QString& filter) = 0;
    // Where a save dialog starts and what it adds to a name.
    struct SaveOffer {
        QString startPath; // the file name offered, in its folder; a name alone, or nothing, in
                           // the folder last chosen
        QString suffix;    // given to a name typed without an extension ("txt"), before the
                           // dialog looks whether that file exists
        // Why a chosen file may not be written ("" when it may), or none: looked at before the
        // question about replacing a file, so a refused file is named in a message at once and
        // the dialog stays open for another name.
        std::function<QString(const QString&)> refusal;
    };
    // The save dialog asks, with its own question, before it lets an existing file be chosen:
    // whatever name it returns, the teacher agreed to replace that file, and `refusal` let it.
    virtual std::optional<QString> SaveFileName(const QString& title, const QString& filter,
                                                const SaveOffer& offer) = 0;

    // Per-user settings under the program's title, section "Settings".
    virtual QVariant ReadSetting(const QString& key, const QVariant& fallback) = 0;
    virtual void WriteSetting(const QString& key, const QVariant& value) = 0;

    virtual QDate Today() = 0;
    virtual void ShowHelp() = 0;

    // The program's one printer object: what page set-up chooses stays in force.
    virtual QPrinter& Printer() = 0;
    // Shows the printer dialog with a title; false when the teacher cancelled it.
    virtual bool ShowPrinterDialog(const QString& title) = 0;
    // When the system has no printer, asks where to write a PDF file instead and points the
    // printer there; false when cancelled. With a printer it does nothing and returns true.
    virtual bool PrepareOutput() = 0;
    // Tells the teacher where the printout went when it went to a PDF file.
    virtual void ReportPrinted() = 0;

    // --- Keeping the teacher's work ---------------------------------------------------------
    // The user's data folder of the program (recovery copies, earlier versions); "" when the
    // program keeps none (the command-line tool).
    virtual QString DataFolder() { return QString(); }
    // The date and time now, for naming earlier versions.
    virtual QDateTime Now() { return QDateTime::currentDateTime(); }
    // A list to choose one line from (OK/キャンセル); the chosen index, nullopt when cancelled.
    virtual std::optional<int> ChooseFromList(const QString& title, const QString& prompt,
                                              const QStringList& items) {
        (void)title;
        (void)prompt;
        (void)items;
        return std::nullopt;
    }

    // A file dialog that takes several files at once (the grade's summary), started in `folder`
    // (the folder last chosen when ""); nullopt when cancelled. Without a dialog of its own it
    // takes one file.
    virtual std::optional<QStringList> OpenFileNames(const QString& title, const QString& filter,
                                                     const QString& folder) {
        (void)folder;
        const auto one = OpenFileName(title, filter);
        if (!one)
            return std::nullopt;
        return QStringList{*one};
    }

    // --- Print preview, page set-up, help pages ---------------------------------------------
    // Shows the page that `paint` draws in a print preview; from there the teacher prints it or,
    // without a printer, saves it as a PDF file offered as `pdfName` in the folder last used.
    // `paint` draws one document on the printer it is given and returns false when it could
    // not (it reports why itself). False when nothing was printed. Without a preview (the
    // command-line tool) the page goes straight to the printer.
    virtual bool PrintWithPreview(const QString& pdfName,
                                  const std::function<bool(QPrinter&)>& paint) {
        (void)pdfName;
        if (!PrepareOutput() || !paint(Printer()))
            return false;
        ReportPrinted();
        return true;
    }
    // The page set-up dialog (paper, orientation, margins) on the program's printer; false when
    // cancelled.
    virtual bool ShowPageSetup() { return ShowPrinterDialog(QString::fromUtf16(u"ﾍﾟｰｼﾞ設定")); }
    // Opens the help at one of its pages ("class.html"); the contents page when it has no such
    // page.
    virtual void ShowHelpPage(const QString& page) {
        (void)page;
        ShowHelp();
    }
};

// はい/いいえ question: true for はい. Enter answers はい, or いいえ when `defaultNo` (a はい that
// throws work away); Esc and the close box answer いいえ.
inline bool AskYes(Platform& platform, const QString& text, bool defaultNo = false) {
    return platform.AskChoice(text, {kYesButton, kNoButton}, defaultNo ? 1 : 0, 1) == 0;
}
// OK/キャンセル question: true for OK, Enter's answer; Esc and the close box cancel.
inline bool AskOk(Platform& platform, const QString& text) {
    return platform.AskChoice(text, {kOkButton, kCancelButton}, 0, 1) == 0;
}
// はい/いいえ/キャンセル question: はい is Enter's answer; Esc and the close box cancel.
inline Platform::Answer AskYesNoCancel(Platform& platform, const QString& text) {
    static constexpr Platform::Answer kAnswers[] = {Platform::Answer::Yes, Platform::Answer::No,
                                                    Platform::Answer::Cancel};
    const int chosen = platform.AskChoice(text, {kYesButton, kNoButton, kCancelButton}, 0, 2);
    return chosen >= 0 && chosen < 3 ? kAnswers[chosen] : Platform::Answer::Cancel;
}

} // namespace kirune
