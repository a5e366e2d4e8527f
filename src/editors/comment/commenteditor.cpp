#include "commenteditor.h"

#include "model/comments.h"
#include "model/numbers.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kirune {

CommentEditor::CommentEditor(GradeBook& book, Session& session, Platform& platform,
                             MainFormHooks& main)
    : book(book), session(session), platform(platform), main(main) {}

QStringList CommentEditor::PeriodItems() const {
    QStringList items;
    for (int p = 0; p < kCommentPeriods; ++p)
        items << CommentPeriodName(book, p);
    return items;
}

void CommentEditor::Form_Load() {
    drafts_ = book.Comments;
    limits_ = book.CommentLimits;
    period = std::clamp<int>(session.CommentPeriod, 0, kCommentPeriods - 1);
    const int asked = session.CurrentStudentNo;
    Show(HasName(book, asked) ? asked : NamedPupil(0, 1));
}

int CommentEditor::NamedPupil(int from, int step) const {
    for (int n = from + step; n >= 1 && n <= kMaxPupils; n += step)
        if (HasName(book, n))
            return n;
    return 0;
}

void CommentEditor::Show(int number) {
    pupil = number;
    session.CurrentStudentNo = static_cast<int16_t>(number);
    heading = number > 0
                  ? u"出席番号%1　%2"_s.arg(NumberText(number), book.StudentNames[number - 1])
                  : QString();
    text = number > 0 ? drafts_[number - 1][period] : QString();

    // The ratings as the pupil's record shows them: each viewpoint's rating of the period and
    // of the year (the year's column twice when the year is chosen).
    Grid record(25, 14);
    QString caption;
    Session scratch = session;
    ShowPupilRecordTable(book, scratch, number, record, caption, &tables_);
    ratings.SetText(0, 0, u"教科"_s);
    ratings.SetText(0, 1, u"観点"_s);
    ratings.SetText(0, 2, CommentPeriodName(book, period));
    ratings.SetText(0, 3, CommentPeriodName(book, 3));
    ratings.SetColWidth(0, 800);
    ratings.SetColWidth(1, 1200);
    for (int col : {2, 3}) {
        ratings.SetColWidth(col, 700);
        ratings.SetColAlignment(col, kAlignRightCenter);
    }
    int row = 1;
    for (int s = 0; s < kSubjects; ++s)
        for (int c = 0; c < kViewpoints; ++c, ++row) {
            const int recordRow = 1 + s * (kViewpoints + 1) + c;
            ratings.SetText(row, 0, c == 0 ? record.Text(recordRow, 0) : QString());
            ratings.SetText(row, 1, record.Text(recordRow, 1));
            ratings.SetCell(row, 2, record.Text(recordRow, 4 + 3 * period),
                            record.Value(recordRow, 4 + 3 * period));
            ratings.SetCell(row, 3, record.Text(recordRow, 13), record.Value(recordRow, 13));
        }
    Update();
}

void CommentEditor::Update() {
    limit = limits_[period];
    const qsizetype length = CommentLength(text);
    count = u"%1 / %2 字"_s.arg(length).arg(limit);
    overLimit = length > limit;
    pendingItems.clear();
    pendingNumbers.clear();
    for (int n = 1; n <= kMaxPupils; ++n) {
        if (!HasName(book, n))
            continue;
        const QString& draft = drafts_[n - 1][period];
        const qsizetype size = CommentLength(draft);
        if (draft.trimmed().isEmpty())
            pendingItems << u"%1 %2（未記入）"_s.arg(NumberText(n), book.StudentNames[n - 1]);
        else if (size > limits_[period])
            pendingItems
                << u"%1 %2（%3 字）"_s.arg(NumberText(n), book.StudentNames[n - 1]).arg(size);
        else
            continue;
        pendingNumbers.push_back(n);
    }
    canGoBack = NamedPupil(pupil, -1) > 0;
    canGoOn = NamedPupil(pupil, 1) > 0;
    Notify();
}

void CommentEditor::Period_Change(int index) {
    if (index < 0 || index >= kCommentPeriods || index == period)
        return;
    period = index;
    session.CommentPeriod = static_cast<int16_t>(index);
    Show(pupil);
}

bool CommentEditor::Text_Change(const QString& typed) {
    if (pupil < 1 || typed == text)
        return true;
    const QString why = CommentRefusal(typed);
    if (!why.isEmpty()) {
        platform.ShowMessage(why);
        Notify(); // the box shows the text it had
        return false;
    }
    text = typed;
    drafts_[pupil - 1][period] = typed;
    Update();
    return true;
}

void CommentEditor::Limit_Change(int value) {
    limits_[period] = static_cast<int16_t>(std::clamp(value, 1, kMaxCommentLength));
    Update();
}

void CommentEditor::Previous_Click() {
    if (const int n = NamedPupil(pupil, -1))
        Show(n);
}

void CommentEditor::Next_Click() {
    if (const int n = NamedPupil(pupil, 1))
        Show(n);
}

void CommentEditor::Pending_Click(int index) {
    if (index >= 0 && index < static_cast<int>(pendingNumbers.size()))
        Show(pendingNumbers[static_cast<size_t>(index)]);
}

bool CommentEditor::HasUnregisteredChanges() const {
    return !closed_ && (drafts_ != book.Comments || limits_ != book.CommentLimits);
}

void CommentEditor::Register_Click() {
    if (closed_)
        return;
    if (HasUnregisteredChanges()) {
        book.Comments = drafts_;
        book.CommentLimits = limits_;
        session.MarkChanged();
        main.RecordStep(u"%1の所見の登録"_s.arg(CommentPeriodName(book, period)));
    }
    main.EnableMainWindow();
    closed_ = true;
    if (closeWindow)
        closeWindow();
}

bool CommentEditor::Cancel_Click() {
    if (closed_)
        return true;
    if (HasUnregisteredChanges() && !AskYes(platform, DiscardQuestion(), true))
        return false;
    main.EnableMainWindow();
    closed_ = true;
    if (closeWindow)
        closeWindow();
    return true;
}

} // namespace kirune
