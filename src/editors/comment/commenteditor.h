#pragma once
// The comment editor's behaviour without a window: the report-card comments (所見) of the named
// pupils for one period (a semester, or the year), written one pupil after another beside the
// pupil's ratings. What is typed is a working copy of every pupil's comment; the grade book
// changes only on registration (登録), one step of undo. FormComment shows this state.

#include "browse/grid.h"
#include "browse/tables.h"
#include "document/mainform.h"
#include "model/gradebook.h"
#include "model/session.h"
#include "output/platform.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

namespace kirune {

class CommentEditor {
public:
    CommentEditor(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main);

    // --- State shown by the window --------------------------------------------------------
    int pupil = 0;                    // attendance number being written
    int period = 0;                   // 0..2 the semesters, 3 the year
    QString heading;                  // the pupil's number and name
    QString text;                     // the text box: the pupil's comment for the period
    int limit = kDefaultCommentLimit; // the class's limit of the period (the limit box)
    QString count;                    // "123 / 200 字"
    bool overLimit = false;           // the count is shown in red
    Grid ratings{19, 4};              // subject, viewpoint, the period's rating and the year's
    // The named pupils whose comment of the period is empty or over the limit, as listed, and
    // their numbers.
    QStringList pendingItems;
    std::vector<int> pendingNumbers;
    bool canGoBack = false, canGoOn = false; // a named pupil before, after this one

    // The periods' names as the choice lists them: the semesters' names and 年間.
    QStringList PeriodItems() const;

    // --- Hooks set by the window (empty in tests) -------------------------------------------
    std::function<void()> changed;     // something shown has changed
    std::function<void()> closeWindow; // hide and unload the window

    // --- Events ----------------------------------------------------------------------------
    // At the pupil of session.CurrentStudentNo (or the first named one), for the period last
    // chosen (session.CommentPeriod).
    void Form_Load();
    void Period_Change(int index);
    // The text box's new text, typed or pasted. A character the file's code page cannot hold,
    // or a text over kMaxCommentLength, is refused with a message: the box keeps its text and
    // false is returned.
    bool Text_Change(const QString& typed);
    void Limit_Change(int value);
    void Previous_Click(); // 前の児童 (Ctrl+Page Up)
    void Next_Click();     // 次の児童 (Ctrl+Page Down)
    void Pending_Click(int index);
    // 登録: stores every comment and the limits, one step of undo, and closes.
    void Register_Click();
    // ｷｬﾝｾﾙ: with changes not yet registered the teacher is asked first; false when the
    // teacher chose to stay.
    bool Cancel_Click();
    bool Form_Unload() { return Cancel_Click(); }
    bool HasUnregisteredChanges() const;
    bool Closed() const { return closed_; }

    GradeBook& book;
    Session& session;
    Platform& platform;
    MainFormHooks& main;

private:
    void Show(int number);                    // the pupil `number` with the working copy's text
    void Update();                            // count, list and steps after any change
    int NamedPupil(int from, int step) const; // the next named pupil from `from`, or 0
    void Notify() {
        if (changed)
            changed();
    }

    std::array<std::array<QString, kCommentPeriods>, kMaxPupils> drafts_{};
    std::array<int16_t, kCommentPeriods> limits_{};
    SubjectTableCache tables_;
    bool closed_ = false;
};

} // namespace kirune
