#include "testeditor.h"

#include "browse/rules.h"
#include "model/numbers.h"
#include "model/storabletext.h"

#include <QLocale>
#include <QtCore/qnamespace.h>
#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

const QString kAbsentText = QStringLiteral("*");

bool IsAbsentText(const QString& text) {
    return text == kAbsentText;
}

// A score box left with nothing but blanks (the leading blank of a shown score, say) holds no
// score: it must not become a score of 0.
bool IsBlankScore(const QString& text) {
    for (QChar ch : text)
        if (ch != u' ')
            return false;
    return true;
}

// A score box passes the character check when it holds only blanks and the digits 0-9 (by
// character code: full-width digits, signs and decimal points fail).
bool OnlyBlanksAndDigits(const QString& text) {
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c != u' ' && (c < u'0' || c > u'9'))
            return false;
    }
    return true;
}

// Any viewpoint beyond the first two reads the third box.
std::size_t BoxIndex(int viewpoint) {
    return viewpoint == 0 ? 0 : viewpoint == 1 ? 1 : 2;
}

bool IsSemesterName(const QString& text) {
    return text == u"一学期"_s || text == u"二学期"_s || text == u"三学期"_s;
}

// The number text of a stored value for a box: whole numbers as number text, anything else with
// its decimals, so that reading the box back gives the same value.
QString StoredValueText(float value) {
    const double v = static_cast<double>(value);
    int16_t whole = 0;
    if (TryRoundToInt16(v, &whole) && static_cast<double>(whole) == v)
        return NumberText(whole);
    const QString digits = QString::number(v, 'g', 9);
    return v < 0 ? digits : u' ' + digits;
}

} // namespace

TestEditor::TestEditor(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main)
    : book(book), session(session), platform(platform), main(main) {
    semester_ = std::clamp<int>(session.CurrentSemester, 0, kSemesters - 1);
    subject_ = std::clamp<int>(session.CurrentSubject, 0, kSubjects - 1);
    test_ = std::clamp<int>(session.CurrentTest, 0, kTestsPerSemester - 1);
    firstSlot_ = TestSlot(semester_, subject_, test_, 0);
    roster_ = std::clamp<int>(book.RosterSize, 0, kMaxPupils);
}

// --- Messages --------------------------------------------------------------------------------

QString TestEditor::MessageNotDigits() {
    return u"得点に数字以外の文字があります。"_s;
}
QString TestEditor::MessageOverPoints(const QString& viewpoint, double score, double points) {
    return u"%1の得点 %2 が配点 %3 を超えています。"_s.arg(viewpoint, QString::number(score),
                                                           QString::number(points));
}
QString TestEditor::MessageOver100(const QString& viewpoint, double score) {
    return u"%1の得点 %2 が100点を超えています。"_s.arg(viewpoint, QString::number(score));
}
QString TestEditor::MessageNoPoints(const QString& viewpoint) {
    return u"観点「%1」の配点を入力してください。"_s.arg(viewpoint);
}
QString TestEditor::MessagePointsBelowScore(int pupil, const QString& viewpoint, double score,
                                            double points) {
    return u"出席番号 %1 の"_s.arg(pupil) + MessageOverPoints(viewpoint, score, points);
}
QString TestEditor::QuestionMissingScores(const QList<int>& pupils) {
    QStringList shown;
    for (int n : pupils.first(std::min<qsizetype>(pupils.size(), 3)))
        shown << QString::number(n);
    return u"得点が入っていない児童が %1 名います（出席番号 %2%3）。このまま"
           u"登録しますか？"_s.arg(pupils.size())
               .arg(shown.join(u"、"_s), pupils.size() > 3 ? u" ほか"_s : QString());
}
QString TestEditor::MessageNoSuchPupil() {
    return u"その出席番号の生徒は登録されていません。名簿にある出席番号を選んでください。"_s;
}

// --- Small accessors -------------------------------------------------------------------------

QString& TestEditor::ScoreBox(int viewpoint) {
    return scoreBoxes[BoxIndex(viewpoint)];
}
QString& TestEditor::PointsBox(int viewpoint) {
    return pointsBoxes[BoxIndex(viewpoint)];
}
const QString& TestEditor::ScoreBox(int viewpoint) const {
    return scoreBoxes[BoxIndex(viewpoint)];
}
const QString& TestEditor::PointsBox(int viewpoint) const {
    return pointsBoxes[BoxIndex(viewpoint)];
}
bool& TestEditor::ViewpointCheck(int viewpoint) {
    return viewpointChecks[BoxIndex(viewpoint)];
}
bool TestEditor::ViewpointChecked(int viewpoint) const {
    return viewpointChecks[BoxIndex(viewpoint)];
}
QString TestEditor::ViewpointName(int viewpoint) const {
    return book.SubjectTitles[subject_][1 + std::clamp(viewpoint, 0, kViewpoints - 1)];
}

QString TestEditor::DateText(const QDate& date) {
    return RegionalLocale().toString(date, QLocale::ShortFormat);
}

QDate TestEditor::ReadDate(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    const QLocale locale = RegionalLocale();
    QDate date = locale.toDate(trimmed, QLocale::ShortFormat);
    if (!date.isValid()) {
        // Also take a month or day typed without its leading zero ("2026/4/5").
        QString format = locale.dateFormat(QLocale::ShortFormat);
        format.replace(QStringLiteral("MM"), QStringLiteral("M"));
        format.replace(QStringLiteral("dd"), QStringLiteral("d"));
        date = locale.toDate(trimmed, format);
    }
    return date;
}

// --- Opening -----------------------------------------------------------------------------------

void TestEditor::Form_Load() {
    calendar = platform.Today(); // the calendar starts on today's date

    // 1. Viewpoint names, empty score boxes, the first pupil.
    for (int k = 0; k < kViewpoints; ++k) {
        viewpointLabels[k] = book.SubjectTitles[subject_][1 + k];
        scoreBoxes[k].clear();
    }
    pupilChoices.clear();
    for (int n = 1; n <= roster_; ++n)
        if (IsChoosablePupil(n))
            pupilChoices << QString::number(n);
    // The first pupil with a name: a pupil who transferred out gets no scores. With nobody in
    // the class there is no current pupil and the entry row is left alone.
    const int first = IsChoosablePupil(1) ? 1 : NextNamedPupil(1, +1);
    const int start = IsChoosablePupil(first) ? first : 0;
    session.CurrentStudentNo = static_cast<int16_t>(start);
    pupilBox = start > 0 ? QString::number(start) : QString();
    pupilName = start > 0 ? book.StudentNames[start - 1] : QString();
    NameTouched = false;
    for (int i = 0; i < kMaxPupils; ++i) {
        session.WorkValues[i].clear();
        session.WorkTexts[i].clear();
    }

    // 2. Name.
    nameBox = book.TestInfo[firstSlot_][1];

    // 3. Date: a semester's name means no date has been chosen yet. A text that is not a date
    // stays as the teacher wrote it (it is what registration stores) and the calendar stays.
    const QString stored = book.TestInfo[firstSlot_][0];
    if (stored.isEmpty()) {
        SetDateText(DateText(calendar));
    } else if (IsSemesterName(stored)) {
        calendar = platform.Today();
        SetDateText(DateText(calendar));
    } else if (const QDate date = ReadDate(stored); date.isValid()) {
        calendar = date;
        SetDateText(DateText(calendar));
    } else {
        SetDateText(stored);
    }

    // 4. Title.
    gridTitle = book.SemesterNames[semester_] + u' ' + book.SubjectTitles[subject_][0] + u" 第"_s +
                NumberText(test_ + 1) + u"回 試験  "_s;

    // 5. The grid.
    BuildGrid();

    // 6. The stored scores and totals.
    for (int r = 1; r <= roster_; ++r)
        for (int k = 0; k <= kViewpoints; ++k)
            WriteGridScore(
                r, 2 + k,
                RoundHalfEvenInt16(static_cast<double>(book.Scores[firstSlot_ + k][r - 1])));

    // 7. The first pupil's boxes.
    if (start > 0)
        for (int j = 0; j < kViewpoints; ++j)
            ScoreBox(j) = scoreGrid.Text(start, 2 + j);

    // 8. The class-average row, then totals, averages and ranks.
    scoreGrid.SetText(AverageRow(), 1, u"クラスの平均点"_s);
    CommitEntryRow();

    // 9. Viewpoints: a test that has never been registered assesses all three.
    bool anyAverage = false;
    for (int k = 0; k < kViewpoints; ++k)
        if (book.Scores[firstSlot_ + k][kAverageColumn] != kNoData)
            anyAverage = true;
    if (anyAverage)
        for (int k = 0; k < kViewpoints; ++k)
            if (book.Scores[firstSlot_ + k][kAverageColumn] == kNoData)
                OnViewpointCheck(k, false);

    // 10. Allocated points.
    for (int k = 0; k < kViewpoints; ++k) {
        const float points = book.Scores[firstSlot_ + k][kPointsColumn];
        if (points != kNoData)
            OnPointsChange(k, StoredValueText(points));
    }

    if (session.ScoreEntryError != -1)
        SetFocusTo(FirstCheckedBox());
    loaded_ = Fingerprint();
    Notify();
}

QStringList TestEditor::Fingerprint() const {
    QStringList texts{nameBox, dateBox.trimmed()};
    for (int k = 0; k < kViewpoints; ++k) {
        texts << PointsBox(k).trimmed() << QString::number(ViewpointChecked(k));
        for (int r = 1; r <= roster_; ++r)
            texts << scoreGrid.Text(r, 2 + k);
    }
    return texts;
}

bool TestEditor::HasUnregisteredChanges() const {
    if (closed_ || !Loaded())
        return false;
    // Scores typed into the boxes that have not yet gone into the grid count as well.
    const int n = session.CurrentStudentNo;
    if (n >= 1 && n <= roster_)
        for (int k = 0; k < kViewpoints; ++k)
            if (ScoreBox(k).trimmed() != scoreGrid.Text(n, 2 + k).trimmed())
                return true;
    return Fingerprint() != loaded_;
}

void TestEditor::BuildGrid() {
    Grid& g = scoreGrid;
    g.SetRows(kGridRows);
    g.SetCols(kGridCols);
    g.SetColWidth(0, 400);
    g.SetColWidth(1, 1600);
    g.SetText(0, 0, QStringLiteral("No."));
    g.SetText(0, 1, u"生徒氏名"_s);
    for (int r = 1; r <= AverageRow(); r += 2)
        for (int c = 0; c < kGridCols; ++c)
            g.SetCellBackground(r, c, kBandTint);
    for (int r = 1; r <= kMaxPupils; ++r) {
        g.SetText(r, 0, NumberText(r));
        g.SetText(r, 1, book.StudentNames[r - 1]);
    }
    for (int c = 0; c < kGridCols; ++c)
        g.SetText(41, c, QString());

    const int w = RoundHalfEvenInt16((kGridWidthTwips - 400 - 1600) / 5.0);
    for (int c = 2; c <= 5; ++c)
        g.SetColWidth(c, w);
    g.SetColWidth(6, kGridWidthTwips - 400 - 1600 - 4 * w - 360);
    for (int k = 0; k < kViewpoints; ++k)
        g.SetText(0, 2 + k, book.SubjectTitles[subject_][1 + k]);
    g.SetText(0, 5, u"合計点"_s);
    g.SetText(0, 6, u"順位"_s);
    for (int c = 2; c <= 6; ++c)
        g.SetColAlignment(c, kAlignRightCenter);
}

// --- Test definition ---------------------------------------------------------------------------

void TestEditor::OnViewpointCheck(int viewpoint, bool checked) {
    if (viewpoint < 0 || viewpoint >= kViewpoints)
        return;
    const bool othersChecked =
        ViewpointChecked((viewpoint + 1) % 3) || ViewpointChecked((viewpoint + 2) % 3);
    if (!othersChecked) {
        // The last assessed viewpoint stays: a test assesses at least one.
        ViewpointCheck(viewpoint) = true;
        Notify();
        return;
    }
    ViewpointCheck(viewpoint) = checked;
    if (!checked)
        DropViewpoint(viewpoint);
    Notify();
}

void TestEditor::DropViewpoint(int viewpoint) {
    const int col = 2 + viewpoint;
    for (int r = 1; r <= AverageRow(); ++r)
        scoreGrid.SetText(r, col, QString());
    ScoreBox(viewpoint).clear();
    PointsBox(viewpoint).clear();
    if (!Loaded())
        return;
    // The dropped scores leave every pupil's total, the averages and the ranks at once, so what
    // registration stores as a total is always the sum of the stored viewpoint scores.
    for (int r = 1; r <= roster_; ++r)
        WriteRowTotal(r, {scoreGrid.Text(r, 2), scoreGrid.Text(r, 3), scoreGrid.Text(r, 4)});
    RefreshAverages();
    RefreshRanks();
}

void TestEditor::OnPointsChange(int viewpoint, const QString& text) {
    if (viewpoint < 0 || viewpoint >= kViewpoints)
        return;
    // "0", a text without a leading number and (pasted) negative points cannot stay.
    PointsBox(viewpoint) = LeadingNumber(text) > 0 ? text : QString();
    Notify();
}

void TestEditor::OnScoreChange(int viewpoint, const QString& text) {
    if (viewpoint < 0 || viewpoint >= kViewpoints)
        return;
    ScoreBox(viewpoint) = text;
}

void TestEditor::OnNameClick() {
    NameTouched = true;
    focus = QStringLiteral("nameBox");
}

void TestEditor::OnNameChange(const QString& text) {
    if (text == nameBox)
        return;
    nameBox = text;
    // A name typed after reaching the box by keyboard must reach the tree as well.
    NameTouched = true;
}

void TestEditor::OnDateChange(const QString& text) {
    dateBox = text;
    if (const QDate date = ReadDate(text); date.isValid()) {
        if (date != calendar) {
            calendar = date;
            Notify();
        }
    }
}

void TestEditor::SetDateText(const QString& text) {
    OnDateChange(text);
}

void TestEditor::OnCalendarDatePicked(const QDate& date) {
    if (!date.isValid())
        return;
    calendar = date;
    SetDateText(DateText(date));
    Notify();
}

void TestEditor::OnCalendarClick() {
    SetDateText(DateText(calendar));
    Notify();
}

// --- Moving between pupils -----------------------------------------------------------------------

bool TestEditor::IsChoosablePupil(int n) const {
    return n >= 1 && n <= roster_ && HasName(book, n);
}

int TestEditor::NextNamedPupil(int from, int step) const {
    for (int n = from + step; n >= 1 && n <= roster_; n += step)
        if (HasName(book, n))
            return n;
    return from;
}

QString TestEditor::FirstCheckedBox() const {
    if (viewpointChecks[0])
        return QStringLiteral("scoreBox1");
    if (viewpointChecks[1])
        return QStringLiteral("scoreBox2");
    return QStringLiteral("scoreBox3");
}

void TestEditor::ShowPupil(int n, int col, bool focusBox) {
    session.CurrentStudentNo = static_cast<int16_t>(n);
    if (n >= 1 && n <= kMaxPupils) {
        pupilName = col > 0 ? scoreGrid.Text(n, 1) : book.StudentNames[n - 1];
        pupilBox = NumberText(n);
        scoreGrid.SetCurrentCell(n, col > 0 ? col : scoreGrid.CurrentCol());
        for (int j = 0; j < kViewpoints; ++j)
            ScoreBox(j) = scoreGrid.Text(n, 2 + j);
    } else {
        pupilName.clear();
        pupilBox.clear();
        for (int j = 0; j < kViewpoints; ++j)
            ScoreBox(j).clear();
    }
    if (!focusBox)
        return;

    QString target = FirstCheckedBox();
    if (col == 4)
        target = viewpointChecks[2]   ? QStringLiteral("scoreBox3")
                 : viewpointChecks[0] ? QStringLiteral("scoreBox1")
                                      : QStringLiteral("scoreBox2");
    else if (col == 3)
        target = viewpointChecks[1]   ? QStringLiteral("scoreBox2")
                 : viewpointChecks[0] ? QStringLiteral("scoreBox1")
                                      : QStringLiteral("scoreBox3");
    SetFocusTo(target);
}

bool TestEditor::MovePupil(int step, bool focusBox) {
    CommitEntryRow();
    const bool moved = session.ScoreEntryError != -1;
    if (moved)
        ShowPupil(NextNamedPupil(session.CurrentStudentNo, step), 0, focusBox);
    Notify();
    return moved;
}

void TestEditor::OnNextPupil() {
    MovePupil(+1, true);
}

void TestEditor::OnPreviousPupil() {
    MovePupil(-1, true);
}

void TestEditor::OnPupilChosen(const QString& choice) {
    if (!Loaded())
        return;
    const QString trimmed = choice.trimmed();
    bool digits = !trimmed.isEmpty() && trimmed.size() <= 2;
    for (QChar ch : trimmed)
        if (ch < u'0' || ch > u'9')
            digits = false;
    const int n = digits ? trimmed.toInt() : 0;
    if (!IsChoosablePupil(n)) {
        // Only pupils of the roster: never the class-average row nor a number without a pupil.
        platform.ShowMessage(MessageNoSuchPupil());
        const int current = session.CurrentStudentNo;
        pupilBox = current > 0 ? NumberText(current) : QString();
        SetFocusTo(FirstCheckedBox());
        Notify();
        return;
    }
    CommitEntryRow(); // a rejected entry is dropped: the move goes on
    ShowPupil(n, 0);
    Notify();
}

void TestEditor::OnGridClick(int row, int col) {
    if (!Loaded() || row < 1 || row > roster_)
        return;
    if (!HasName(book, row)) {
        // A pupil who transferred out gets no scores.
        platform.ShowMessage(MessageNoSuchPupil());
        SetFocusTo(FirstCheckedBox());
        Notify();
        return;
    }
    CommitEntryRow(); // a rejected entry is dropped: the move goes on
    ShowPupil(row, col);
    Notify();
}

// --- Focus and keys ---------------------------------------------------------------------------

int TestEditor::CheckedBoxFrom(int viewpoint, int step) const {
    for (int i = 0; i < kViewpoints; ++i) {
        const int k = ((viewpoint + step * i) % kViewpoints + kViewpoints) % kViewpoints;
        if (ViewpointChecked(k))
            return k;
    }
    return 0; // not reached: a test always assesses one viewpoint
}

void TestEditor::SetFocusTo(QString control, int step) {
    // A score box of an unchecked viewpoint passes the focus on to the next checked one in the
    // direction of travel: the focus never leaves the score boxes this way (the name box, with
    // its text selected, would take the next digit typed).
    for (int k = 0; k < kViewpoints; ++k)
        if (control == ScoreBoxName(k) && !ViewpointChecked(k))
            control = ScoreBoxName(CheckedBoxFrom(k, step));
    focus = control;
    if (moveFocus)
        moveFocus(control);
}

void TestEditor::GotFocus(const QString& control) {
    focus = control;
    for (int k = 0; k < kViewpoints; ++k)
        if (control == ScoreBoxName(k) && !ViewpointChecked(k))
            SetFocusTo(control);
}

void TestEditor::Field_Enter(const QString& control) {
    if (control == QLatin1String("nameBox"))
        SetFocusTo(QStringLiteral("dateBox"));
    else if (control == QLatin1String("dateBox"))
        SetFocusTo(FirstCheckedBox());
}

bool TestEditor::OnGridKey(int key) {
    if (!Loaded())
        return false;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (MovePupil(key == Qt::Key_Up ? -1 : +1, false))
            SetFocusTo(QStringLiteral("scoreGrid"));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        SetFocusTo(FirstCheckedBox());
        return true;
    default:
        return false;
    }
}

bool TestEditor::OnScoreBoxKey(int viewpoint, int key) {
    if (viewpoint < 0 || viewpoint >= kViewpoints)
        return false;
    switch (key) {
    case Qt::Key_Right:
        SetFocusTo(ScoreBoxName((viewpoint + 1) % 3), +1);
        return true;
    case Qt::Key_Left:
        SetFocusTo(ScoreBoxName((viewpoint + 2) % 3), -1);
        return true;
    case Qt::Key_Tab: {
        // Among the checked score boxes, and from the last one on to 登録.
        int next = -1;
        for (int k = viewpoint + 1; k < kViewpoints && next < 0; ++k)
            if (ViewpointChecked(k))
                next = k;
        SetFocusTo(next >= 0 ? ScoreBoxName(next) : QStringLiteral("registerButton"));
        return true;
    }
    case Qt::Key_Backtab:
        SetFocusTo(ScoreBoxName(CheckedBoxFrom((viewpoint + 2) % 3, -1)), -1);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (key == Qt::Key_Up)
            OnPreviousPupil();
        else
            OnNextPupil();
        // After a refused entry the focus stays on the box that was refused.
        if (session.ScoreEntryError != -1)
            SetFocusTo(ScoreBoxName(viewpoint));
        return true;
    default:
        return false;
    }
}

// --- Score entry -----------------------------------------------------------------------------

void TestEditor::WriteGridScore(int row, int col, int16_t value) {
    QString text;
    if (value == -1)
        text = QString();
    else if (value == -2)
        text = kAbsentText;
    else
        text = NumberText(value);
    if (scoreGrid.Text(row, col) != text)
        scoreGrid.SetText(row, col, text);
}

void TestEditor::StoreGridScore(int slot, int column, int row, int gridColumn) {
    if (slot < 0 || slot >= kUsedSlots || column < 0 || column >= kScoreColumns)
        return;
    const QString& text = scoreGrid.Text(row, gridColumn);
    float value = kNoData;
    if (text.isEmpty()) {
        value = kNoData;
    } else if (IsAbsentText(text)) {
        value = kAbsent;
    } else {
        // Averages are written with the regional decimal separator; read them back the same
        // way (a decimal comma would otherwise lose the decimals).
        bool ok = false;
        double number = RegionalLocale().toDouble(text.trimmed(), &ok);
        if (!ok)
            number = LeadingNumber(text);
        value = static_cast<float>(number);
    }
    book.Scores[slot][column] = value;
}

void TestEditor::CommitEntryRow() {
    session.ScoreEntryError = 0;
    const int n = session.CurrentStudentNo;
    if (scoreGrid.Rows() < 41 || n < 1 || n > kMaxPupils)
        return;

    // Checks, box by box, stopping at the first failure.
    for (int j = 0; j < kViewpoints; ++j) {
        const QString& box = ScoreBox(j);
        if (IsAbsentText(box))
            continue;
        QString message;
        const double value = LeadingNumber(box);
        if (!OnlyBlanksAndDigits(box))
            message = MessageNotDigits();
        else if (!PointsBox(j).isEmpty() && value > LeadingNumber(PointsBox(j)))
            message = MessageOverPoints(ViewpointName(j), value, LeadingNumber(PointsBox(j)));
        else if (value > 100)
            message = MessageOver100(ViewpointName(j), value);
        if (!message.isEmpty()) {
            platform.ShowMessage(message);
            SetFocusTo(ScoreBoxName(j));
            session.ScoreEntryError = -1;
            return;
        }
    }

    std::array<QString, 3> texts;
    for (int j = 0; j < kViewpoints; ++j) {
        const QString& box = ScoreBox(j);
        int16_t v = -1;
        if (IsAbsentText(box))
            v = -2;
        else if (!IsBlankScore(box))
            v = RoundHalfEvenInt16(LeadingNumber(box));
        WriteGridScore(n, 2 + j, v);
        texts[j] = box;
    }
    WriteRowTotal(n, texts);
    RefreshAverages();
    RefreshRanks();
}

void TestEditor::WriteRowTotal(int row, const std::array<QString, 3>& scores) {
    bool absent = false;
    bool any = false;
    double total = 0;
    for (const QString& s : scores) {
        if (IsAbsentText(s))
            absent = true;
        else if (!IsBlankScore(s)) {
            any = true;
            total += LeadingNumber(s);
        }
    }
    if (absent) {
        scoreGrid.SetText(row, 5, kAbsentText);
        scoreGrid.SetText(row, 6, kAbsentText);
    } else if (any) {
        WriteGridScore(row, 5, RoundHalfEvenInt16(total));
    } else {
        scoreGrid.SetText(row, 5, QString());
        scoreGrid.SetText(row, 6, QString());
    }
}

void TestEditor::RefreshAverages() {
    const int averageRow = AverageRow();
    for (int col = 2; col <= 5; ++col) {
        // Every cell is a whole number of at most 16 bits; the sum is kept wider so that no
        // grade book, however odd its stored scores, can overflow it.
        long long sum = 0;
        int count = 0;
        for (int r = 1; r <= roster_; ++r) {
            const QString& cell = scoreGrid.Text(r, col);
            if (cell.isEmpty() || IsAbsentText(cell))
                continue;
            sum += RoundHalfEvenInt16(LeadingNumber(cell));
            ++count;
        }
        if (count > 0) {
            const float average = static_cast<float>(sum) / static_cast<float>(count);
            scoreGrid.SetText(averageRow, col, FormatFixed(static_cast<double>(average), 1));
            session.AverageCount = static_cast<int16_t>(count);
        }
    }
}

void TestEditor::RefreshRanks() {
    for (int n = 1; n <= roster_; ++n)
        session.WorkValues[n - 1] = scoreGrid.Text(n, 5);
    int last = 0;
    for (int n = 1; n <= roster_; ++n)
        if (HasName(book, n))
            last = n;
    if (last == 0)
        return;

    // Each candidate's number is read once; an empty or "*" total is no candidate.
    std::array<double, kMaxPupils> values{};
    std::array<bool, kMaxPupils> candidate{};
    for (int p = 0; p < last; ++p) {
        const QString& v = session.WorkValues[p];
        candidate[p] = !v.isEmpty() && !IsAbsentText(v);
        values[p] = candidate[p] ? LeadingNumber(v) : 0.0;
    }

    int rank = 1;
    float previous = 10000.0f;
    for (int step = 1; step <= last; ++step) {
        int chosen = -1;
        for (int p = 0; p < last; ++p)
            if (candidate[p] && (chosen < 0 || values[p] >= values[chosen]))
                chosen = p; // among equal totals the one scanned last
        if (chosen < 0)
            break;
        const float value = static_cast<float>(values[chosen]);
        if (value < previous) {
            rank = step;
            previous = value;
        }
        scoreGrid.SetText(chosen + 1, 6, NumberText(rank));
        session.WorkValues[chosen].clear();
        candidate[chosen] = false;
    }
}

void TestEditor::OnAbsent() {
    for (int j = 0; j < kViewpoints; ++j)
        ScoreBox(j) = ViewpointChecked(j) ? kAbsentText : QString();
    SetFocusTo(FirstCheckedBox());
    Notify();
}

// --- Registration and cancel --------------------------------------------------------------------

bool TestEditor::RefuseUnstorableText() {
    if (const QString message = UnstorableMessage(u"試験の名称"_s, nameBox); !message.isEmpty()) {
        platform.ShowMessage(message);
        SetFocusTo(QStringLiteral("nameBox"));
        return true;
    }
    if (const QString message = UnstorableMessage(u"試験の実施日"_s, dateBox); !message.isEmpty()) {
        platform.ShowMessage(message);
        SetFocusTo(QStringLiteral("dateBox"));
        return true;
    }
    return false;
}

bool TestEditor::RefuseMissingPoints() {
    // Ratings are measured against the points: a viewpoint with scores needs them.
    for (int j = 0; j < kViewpoints; ++j) {
        if (!ViewpointChecked(j) || LeadingNumber(PointsBox(j)) > 0)
            continue;
        for (int r = 1; r <= roster_; ++r) {
            const QString& cell = scoreGrid.Text(r, 2 + j);
            if (!cell.isEmpty() && !IsAbsentText(cell)) {
                platform.ShowMessage(MessageNoPoints(ViewpointName(j)));
                SetFocusTo(QStringLiteral("pointsBox%1").arg(1 + j));
                return true;
            }
        }
    }
    return false;
}

bool TestEditor::RefusePointsBelowScores() {
    // A score above its points would make a total above the test's full marks.
    for (int j = 0; j < kViewpoints; ++j) {
        if (!ViewpointChecked(j) || PointsBox(j).isEmpty())
            continue;
        const double points = LeadingNumber(PointsBox(j));
        for (int r = 1; r <= roster_; ++r) {
            const QString& cell = scoreGrid.Text(r, 2 + j);
            if (cell.isEmpty() || IsAbsentText(cell) || LeadingNumber(cell) <= points)
                continue;
            // A score being typed for the current pupil is checked as an entry, against the
            // points, when the row is committed.
            if (r == session.CurrentStudentNo && ScoreBox(j).trimmed() != cell.trimmed())
                continue;
            platform.ShowMessage(
                MessagePointsBelowScore(r, ViewpointName(j), LeadingNumber(cell), points));
            SetFocusTo(QStringLiteral("pointsBox%1").arg(1 + j));
            return true;
        }
    }
    return false;
}

bool TestEditor::ConfirmMissingScores() {
    // A pupil left without a score would count as 0 in the semester's sums and ratings.
    QList<int> missing;
    int firstColumn = 0;
    for (int r = 1; r <= roster_; ++r) {
        if (!HasName(book, r))
            continue;
        for (int j = 0; j < kViewpoints; ++j) {
            if (ViewpointChecked(j) && scoreGrid.Text(r, 2 + j).isEmpty()) {
                if (missing.isEmpty())
                    firstColumn = 2 + j;
                missing << r;
                break;
            }
        }
    }
    if (missing.isEmpty() || platform.AskChoice(QuestionMissingScores(missing), YesNoAnswers(),
                                                kAnswerNo, kAnswerNo) == kAnswerYes)
        return true;
    ShowPupil(missing.first(), firstColumn);
    return false;
}

bool TestEditor::OnRegister() {
    if (closed_)
        return false;
    // Points lowered below a score already entered are the points' fault, not the score's:
    // they are checked before the entry row.
    if (RefusePointsBelowScores()) {
        Notify();
        return false;
    }
    CommitEntryRow();
    if (session.ScoreEntryError == -1 || RefuseUnstorableText() || RefuseMissingPoints() ||
        !ConfirmMissingScores()) {
        Notify();
        return false;
    }
    const int S = firstSlot_;

    for (int j = 0; j < kViewpoints; ++j)
        if (!PointsBox(j).isEmpty())
            book.Scores[S + j][kPointsColumn] = static_cast<float>(LeadingNumber(PointsBox(j)));

    book.TestInfo[S][1] = nameBox;
    book.TestInfo[S][0] = dateBox;

    for (int n = 1; n <= roster_; ++n)
        for (int k = 0; k <= kViewpoints; ++k)
            StoreGridScore(S + k, n - 1, n, 2 + k);

    for (int k = 0; k <= kViewpoints; ++k) {
        StoreGridScore(S + k, kAverageColumn, AverageRow(), 2 + k);
        book.Scores[S + k][kCountColumn] = session.AverageCount;
    }

    AggregateSubject(book, subject_, semester_);

    session.CautionAnswer = true;
    main.EnableMainWindow();
    if (NameTouched)
        main.TreeView1_refresh();
    NameTouched = false;
    session.MarkChanged();
    main.RecordStep(book.SubjectTitles[subject_][0] + u' ' + book.SemesterNames[semester_] + u' ' +
                    nameBox.trimmed() + u"の登録"_s);
    Close();
    return true;
}

bool TestEditor::OnCancel() {
    if (closed_)
        return true;
    if (HasUnregisteredChanges() && !AskYes(platform, DiscardQuestion(), true))
        return false; // back to the editor, everything as it was
    session.CautionAnswer = false;
    main.EnableMainWindow();
    Close();
    return true;
}

bool TestEditor::Form_Unload() {
    return closed_ || OnCancel();
}

void TestEditor::Close() {
    closed_ = true;
    if (closeWindow)
        closeWindow();
}

} // namespace kirune
