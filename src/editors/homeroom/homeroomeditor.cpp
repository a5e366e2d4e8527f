#include "homeroomeditor.h"

#include "model/numbers.h"
#include "model/storabletext.h"

#include <Qt>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

const QString kNotRegisteredYear = u"未登録です"_s;

} // namespace

HomeRoomEditor::HomeRoomEditor(GradeBook& book, Session& session, Platform& platform,
                               MainFormHooks& main)
    : book(book), session(session), platform(platform), main(main) {}

QString HomeRoomEditor::YearItem(int year) {
    // The era of the school year: a year that starts in April belongs to the era of that April.
    const char16_t* era = u"令和";
    int number = year - 2018;
    if (year < 1989) {
        era = u"昭和";
        number = year - 1925;
    } else if (year < 2019) {
        era = u"平成";
        number = year - 1988;
    }
    const QString eraYear = number == 1 ? u"元"_s : QString::number(number);
    return u"%1年（%2%3年）"_s.arg(year).arg(QString::fromUtf16(era), eraYear);
}

QStringList HomeRoomEditor::Combo1Items(int index, const QDate& today) {
    QStringList items;
    switch (index) {
    case 0: {
        const int schoolYear = today.month() >= 4 ? today.year() : today.year() - 1;
        for (int year = schoolYear - 5; year <= schoolYear + 1; ++year)
            items << YearItem(year);
        break;
    }
    case 1:
        for (int grade = 1; grade <= 6; ++grade)
            items << u"%1年"_s.arg(grade);
        break;
    case 2:
        for (int cls = 1; cls <= 9; ++cls)
            items << u"%1組"_s.arg(cls);
        break;
    default:
        break;
    }
    return items;
}

QStringList HomeRoomEditor::Combo2Items() {
    QStringList items;
    for (int n = 1; n <= kMaxPupils; ++n)
        items << QString::number(n);
    return items;
}

void HomeRoomEditor::Form_Load() {
    // A class that was never registered carries this placeholder as its year; it goes for good
    // (even when the editor is cancelled).
    if (book.HomeRoomYear == kNotRegisteredYear)
        book.HomeRoomYear.clear();

    combo1 = {book.HomeRoomYear, book.HomeRoomGrade, book.HomeRoomClass};
    text1 = book.TeacherName;
    // At the pupil the main window chose (a pupil's record), else at the first.
    const int start = session.CurrentStudentNo >= 1 && session.CurrentStudentNo <= kMaxPupils
                          ? session.CurrentStudentNo
                          : 1;
    combo2 = QString::number(start);

    grid = Grid(kMaxPupils + 1, 2);
    grid.SetColWidth(0, 400);
    grid.SetColWidth(1, kGridWidthTwips - grid.ColWidth(0));
    grid.SetText(0, 0, QStringLiteral("No."));
    grid.SetText(0, 1, u"生徒氏名"_s);
    for (int n = 1; n <= kMaxPupils; ++n) {
        grid.SetText(n, 0, NumberText(n));
        grid.SetText(n, 1, book.StudentNames[n - 1]);
        grid.SetCellBackground(n, 0, kRosterTint);
        grid.SetCellBackground(n, 1, kRosterTint);
    }

    session.CurrentStudentNo = static_cast<int16_t>(start);
    ShowCurrentPupil();
    Notify();
}

void HomeRoomEditor::Combo1_Change(int index, const QString& text) {
    if (index >= 0 && index < static_cast<int>(combo1.size()))
        combo1[index] = text;
}

void HomeRoomEditor::Text1_Change(const QString& text) {
    text1 = text;
}

void HomeRoomEditor::Combo2_Change(const QString& text) {
    combo2 = text;
    // A number outside the roster (or no number, while the box is being retyped) leaves the
    // current pupil as it is: the grid has rows for numbers 1..40 only.
    SelectPupil(RoundHalfEvenInt16(LeadingNumber(text)));
    Notify();
}

void HomeRoomEditor::Combo2_Click(const QString& text) {
    Combo2_Change(text);
}

void HomeRoomEditor::Combo2_LostFocus() {
    if (RoundHalfEvenInt16(LeadingNumber(combo2)) == session.CurrentStudentNo)
        return;
    combo2 = NumberText(session.CurrentStudentNo);
    Notify();
}

bool HomeRoomEditor::SelectPupil(int n) {
    if (n < 1 || n > kMaxPupils)
        return false;
    session.CurrentStudentNo = static_cast<int16_t>(n);
    ShowCurrentPupil();
    return true;
}

void HomeRoomEditor::ShowCurrentPupil() {
    const int n = session.CurrentStudentNo;
    grid.SetCurrentCell(n, 1);
    text2 = grid.Text(n, 1);
}

void HomeRoomEditor::Step(int delta) {
    int n = session.CurrentStudentNo;
    // The test editor shares the number; bring a stray value back inside the roster.
    if (n < 1 || n > kMaxPupils)
        n = 1;
    else if (n + delta >= 1 && n + delta <= kMaxPupils)
        n += delta;
    session.CurrentStudentNo = static_cast<int16_t>(n);
    combo2 = NumberText(n);
    ShowCurrentPupil();
    if (focusText2)
        focusText2();
    Notify();
}

void HomeRoomEditor::Command3_Click() {
    Step(+1);
}

void HomeRoomEditor::Command4_Click() {
    Step(-1);
}

void HomeRoomEditor::MSFlexGrid1_Click(int row, int col) {
    if (col != 1 || !SelectPupil(row))
        return;
    combo2 = NumberText(row);
    if (focusText2)
        focusText2();
    Notify();
}

bool HomeRoomEditor::Text2_KeyDown(int key) {
    switch (key) {
    case Qt::Key_Right:
    case Qt::Key_Down:
        Command3_Click();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Up:
        Command4_Click();
        return true;
    default:
        return false;
    }
}

void HomeRoomEditor::Text2_Change(const QString& text) {
    text2 = text;
    grid.SetText(session.CurrentStudentNo, 1, text);
    Notify();
}

QString HomeRoomEditor::TransferQuestion(int n, const QString& name) {
    return u"出席番号 %1 %2 を転出させると、名前とすべての得点と所見が消去されます"
           u"（編集メニューの[元に戻す]で元に戻せます）。転出させますか？"
           u"（注意：転出以前に登録した試験の平均点は変わりません）"_s.arg(n)
               .arg(name.trimmed());
}

void HomeRoomEditor::Command5_Click() {
    const int n = session.CurrentStudentNo;
    if (n < 1 || n > kMaxPupils)
        return;
    // Yes erases every score of the pupil: No is the default.
    if (platform.AskChoice(TransferQuestion(n, grid.Text(n, 1)), YesNoAnswers(), kAnswerNo,
                           kAnswerNo) != kAnswerYes)
        return;
    const QString name = book.StudentNames[n - 1];
    // Written at once: a later ｷｬﾝｾﾙ does not bring the pupil back. Class averages, counts and
    // RosterSize stay as they are.
    grid.SetText(n, 1, QString());
    book.StudentNames[n - 1].clear();
    for (int slot = 0; slot < kUsedSlots; ++slot)
        book.Scores[slot][n - 1] = kNoData;
    for (QString& comment : book.Comments[n - 1])
        comment.clear();
    session.MarkChanged();
    main.RecordStep(u"出席番号%1 %2の転出"_s.arg(n).arg(name));
    Notify();
}

bool HomeRoomEditor::RefuseUnstorableText() {
    const struct {
        const QString& text;
        const char16_t* name;
        Field field;
    } boxes[] = {
        {combo1[0], u"年度", Field::Year},
        {combo1[1], u"学年", Field::Grade},
        {combo1[2], u"学級", Field::Class},
        {text1, u"担任の氏名", Field::Teacher},
    };
    for (const auto& box : boxes) {
        // The four homeroom texts are whole lines of the file: a ";" is kept as it stands.
        if (const QString message =
                UnstorableMessage(QString::fromUtf16(box.name), box.text, TextPlace::Line);
            !message.isEmpty()) {
            platform.ShowMessage(message);
            if (focusField)
                focusField(box.field);
            return true;
        }
    }
    for (int n = 1; n <= kMaxPupils; ++n) {
        if (const QString message =
                UnstorableMessage(u"出席番号 %1 の氏名"_s.arg(n), grid.Text(n, 1));
            !message.isEmpty()) {
            platform.ShowMessage(message);
            // Bring the pupil up so the name can be corrected.
            session.CurrentStudentNo = static_cast<int16_t>(n);
            combo2 = NumberText(n);
            ShowCurrentPupil();
            Notify();
            if (focusField)
                focusField(Field::PupilName);
            return true;
        }
    }
    return false;
}

bool HomeRoomEditor::Command1_Click() {
    if (closed_)
        return false;
    // The grade book file separates its fields with ";" and its lines with line breaks.
    if (RefuseUnstorableText())
        return false;

    book.HomeRoomYear = combo1[0];
    book.HomeRoomGrade = combo1[1];
    book.HomeRoomClass = combo1[2];
    book.TeacherName = text1;

    int rosterSize = 0;
    for (int n = 1; n <= kMaxPupils; ++n) {
        book.StudentNames[n - 1] = grid.Text(n, 1);
        if (!book.StudentNames[n - 1].isEmpty())
            rosterSize = n;
    }
    book.RosterSize = static_cast<int16_t>(rosterSize);

    FillDefaultCriteria(book);
    session.MarkChanged();
    main.RecordStep(u"学級の登録"_s);

    main.EnableMainWindow();
    main.MSFlexGrid1_init();
    Close();
    return true;
}

bool HomeRoomEditor::HasUnregisteredChanges() const {
    if (closed_)
        return false;
    if (combo1[0] != book.HomeRoomYear || combo1[1] != book.HomeRoomGrade ||
        combo1[2] != book.HomeRoomClass || text1 != book.TeacherName)
        return true;
    for (int n = 1; n <= kMaxPupils; ++n)
        if (grid.Text(n, 1) != book.StudentNames[n - 1])
            return true;
    return false;
}

bool HomeRoomEditor::Command2_Click() {
    if (closed_)
        return true;
    if (HasUnregisteredChanges() && !AskYes(platform, DiscardQuestion(), true))
        return false; // back to the editor, everything as it was
    main.EnableMainWindow();
    Close();
    return true;
}

bool HomeRoomEditor::Form_Unload() {
    return Command2_Click();
}

void HomeRoomEditor::Close() {
    closed_ = true;
    if (closeWindow)
        closeWindow();
}

} // namespace kirune
