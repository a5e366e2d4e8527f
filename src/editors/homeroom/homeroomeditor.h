#pragma once
// The homeroom editor's behaviour without a window: the class's year, grade, class and teacher,
// and the roster of up to 40 pupils by attendance number. The boxes' texts and the roster grid
// are the working copy; the grade book changes only on registration (登録), except a transfer
// out (転出), which is written at once. FormHomeRoom shows this state and forwards its events.

#include "browse/grid.h"
#include "document/mainform.h"
#include "model/gradebook.h"
#include "model/session.h"
#include "output/platform.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace kirune {

class HomeRoomEditor {
public:
    HomeRoomEditor(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main);

    // Boxes whose text a refusal points at.
    enum class Field { Year, Grade, Class, Teacher, PupilName };

    // --- List items of the drop-down boxes ------------------------------------------------
    // Combo1(0) the school years around `today`'s (a school year starts on 1 April): the five
    // before it, it, and the next, "2019年（令和元年）"; Combo1(1) grades "1年".."6年",
    // Combo1(2) classes "1組".."9組".
    static QStringList Combo1Items(int index, const QDate& today);
    // "2026年（令和8年）", "2019年（令和元年）", "2018年（平成30年）".
    static QString YearItem(int year);
    static QStringList Combo2Items(); // "1".."40"

    // --- State shown by the window --------------------------------------------------------
    std::array<QString, 3> combo1; // Combo1(0..2): year, grade, class
    QString text1;                 // Text1: the teacher's name
    QString combo2;                // Combo2: the attendance number typed or chosen
    QString text2;                 // Text2: the current pupil's name
    Grid grid{41, 2};              // MSFlexGrid1: the roster being edited

    // --- Hooks set by the window (empty in tests) -------------------------------------------
    std::function<void()> changed;         // something shown has changed
    std::function<void()> focusText2;      // give Text2 the keyboard focus
    std::function<void(Field)> focusField; // give the refused box the focus
    std::function<void()> closeWindow;     // hide and unload the window

    // --- Events ----------------------------------------------------------------------------
    void Form_Load();
    void Combo1_Change(int index, const QString& text);
    void Text1_Change(const QString& text);
    void Combo2_Change(const QString& text);
    void Combo2_Click(const QString& text);
    // Leaving Combo2 with a number that chose no pupil shows the current number again.
    void Combo2_LostFocus();
    void Command3_Click(); // next attendance number
    void Command4_Click(); // previous attendance number
    void MSFlexGrid1_Click(int row, int col);
    // Arrow keys move between pupils; true when the key was used here.
    bool Text2_KeyDown(int key);
    void Text2_Change(const QString& text);
    void Command5_Click(); // 転出: transfer the current pupil out
    // The question 転出 asks first (いいえ the default): it names the pupil and says that the
    // scores are erased and that 元に戻す brings them back.
    static QString TransferQuestion(int n, const QString& name);
    // 登録: stores everything and closes; false (and nothing stored) when a text is refused.
    bool Command1_Click();
    // ｷｬﾝｾﾙ: with changes not yet registered the teacher is asked first; false when the
    // teacher chose to stay (nothing changed).
    bool Command2_Click();
    // The frame's close box: acts as ｷｬﾝｾﾙ unless the editor has already closed; false when
    // the window stays open.
    bool Form_Unload();
    // A box or a name differs from the grade book.
    bool HasUnregisteredChanges() const;

    bool Closed() const { return closed_; }
    int CurrentStudentNo() const { return session.CurrentStudentNo; }

    GradeBook& book;
    Session& session;
    Platform& platform;
    MainFormHooks& main;

    static constexpr int kGridWidthTwips = 3135;
    static constexpr QRgb kRosterTint = 0xFFFFFFE0; // RGB(255, 255, 224)

private:
    // Moves the grid's current cell to the current pupil and shows that cell's name in Text2.
    void ShowCurrentPupil();
    // Selects attendance number `n` when it is inside the roster (1..40).
    bool SelectPupil(int n);
    void Step(int delta);
    // Shows a message naming the first box whose text the grade book file cannot hold and
    // gives it the focus; true when there was one.
    bool RefuseUnstorableText();
    void Close();
    void Notify() {
        if (changed)
            changed();
    }

    bool closed_ = false;
};

} // namespace kirune
