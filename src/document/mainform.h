#pragma once
// What an editor window may ask of the main window while it closes.

#include "output/platform.h"

#include <QString>
#include <QStringList>

namespace kirune {

// Asked before an editor that holds changes not yet registered closes (No is the default).
inline QString DiscardQuestion() {
    return QString::fromUtf16(u"入力した内容を登録せずに閉じますか？");
}

// The answers of a question whose Yes writes over or throws away something: はい(&Y) and
// いいえ(&N) on plain buttons, with いいえ the default (Enter) and Esc's answer.
inline QList<Choice> YesNoAnswers() {
    return {Choice(kYesButton.text), Choice(kNoButton.text)};
}
constexpr int kAnswerYes = 0;
constexpr int kAnswerNo = 1;

enum class EditorKind { HomeRoom, Subject, Semester, Test, Comment };

class MainFormHooks {
public:
    virtual ~MainFormHooks() = default;
    // Makes the main window accept input again (every editor calls it when it closes).
    virtual void EnableMainWindow() = 0;
    // Resets the main grid to its base layout of numbers and names.
    virtual void MSFlexGrid1_init() = 0;
    // Rebuilds the tree from the grade book.
    virtual void TreeView1_refresh() = 0;
    // One change has reached the grade book (a registration, a transfer out): it becomes one
    // step of undo, described as the Edit menu shows it ("国語 一学期 2回目試験の登録").
    virtual void RecordStep(const QString& description) { (void)description; }
};

} // namespace kirune
