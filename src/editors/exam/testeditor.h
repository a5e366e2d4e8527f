#pragma once
// The test editor's behaviour without a window: one test of one subject in one semester, its
// name and date, the viewpoints it assesses with their allocated points, and every pupil's score
// per viewpoint (or absence). The boxes' texts and the grid are the working copy: entries travel
// box -> grid (CommitEntryRow, on every change of pupil) -> grade book (registration, 登録).
// FormTestSpec shows this state and forwards its events.

#include "browse/grid.h"
#include "document/mainform.h"
#include "model/gradebook.h"
#include "model/session.h"
#include "output/platform.h"
#include "output/scoreimport.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace kirune {

class TestEditor {
public:
    TestEditor(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main);

    // --- Messages ---------------------------------------------------------------------------
    static QString MessageNotDigits(); // "得点に数字以外の文字があります。"
    // "表現の得点 75 が配点 50 を超えています。": the viewpoint, the score and its points.
    static QString MessageOverPoints(const QString& viewpoint, double score, double points);
    // "表現の得点 120 が100点を超えています。"
    static QString MessageOver100(const QString& viewpoint, double score);
    // "観点「表現」の配点を入力してください。"
    static QString MessageNoPoints(const QString& viewpoint);
    // "出席番号 12 の表現の得点 38 が配点 35 を超えています。": points lowered below a score.
    static QString MessagePointsBelowScore(int pupil, const QString& viewpoint, double score,
                                           double points);
    // "得点が入っていない児童が 27 名います（出席番号 4、5、6 ほか）。このまま登録しますか？"
    static QString QuestionMissingScores(const QList<int>& pupils);
    static QString MessageNoSuchPupil();

    // --- State shown by the window ----------------------------------------------------------
    QString nameBox;                    // test name
    QString dateBox;                    // date text
    std::array<QString, 3> scoreBoxes;  // the current pupil's score per viewpoint
    std::array<QString, 3> pointsBoxes; // allocated points per viewpoint
    std::array<bool, 3> viewpointChecks{true, true, true}; // viewpoint assessed
    QString pupilBox;                                      // attendance number of the current pupil
    QStringList pupilChoices;               // the numbers offered: pupils with a name
    QString pupilName;                      // the current pupil's name
    QString gridTitle;                      // title above the grid
    std::array<QString, 3> viewpointLabels; // viewpoint names
    QDate calendar;                         // the calendar's value
    Grid scoreGrid{1, 1};                   // the whole test's scores; built by Form_Load
    bool NameTouched = false;               // the name box was clicked or edited

    // The control that has the keyboard focus, by name ("scoreBox1", "nameBox", "pupilBox", ...).
    QString focus;

    // --- Hooks set by the window (empty in tests) -------------------------------------------
    std::function<void()> changed;                         // something shown has changed
    std::function<void(const QString& control)> moveFocus; // give `control` the focus
    std::function<void()> closeWindow;                     // hide and unload the window

    // --- Events -----------------------------------------------------------------------------
    void Form_Load();

    // Viewpoint check boxes, viewpoint 0..2: the state the click asks for. Unchecking the last
    // checked viewpoint is refused: the box stays checked.
    void OnViewpointCheck(int viewpoint, bool checked);

    // Allocated points boxes, viewpoint 0..2: a text without a positive leading number empties
    // the box.
    void OnPointsChange(int viewpoint, const QString& text);

    // Score boxes, viewpoint 0..2: typed text.
    void OnScoreChange(int viewpoint, const QString& text);

    void OnNameClick();
    void OnNameChange(const QString& text);
    // The date box: the calendar follows the text when it is a date.
    void OnDateChange(const QString& text);
    // A day picked in the calendar (or moved to with the keyboard).
    void OnCalendarDatePicked(const QDate& date);
    // A plain click on the calendar: the box shows the calendar's value.
    void OnCalendarClick();

    void OnPupilChosen(const QString& choice);
    void OnGridClick(int row, int col);
    void OnNextPupil();     // next attendance number (also Enter)
    void OnPreviousPupil(); // previous attendance number

    // The window tells which control got the focus; a score box of an unchecked viewpoint passes
    // it on to the next checked score box.
    void GotFocus(const QString& control);
    // Enter in the name box or the date box: on to the next field (name, date,
    // the first score box); no pupil changes.
    void Field_Enter(const QString& control);
    // Keys in the score table, as Qt::Key codes; true when the key was used here. Up and Down
    // move to the previous or next pupil (the focus stays in the table), Enter goes to that
    // pupil's first score box.
    bool OnGridKey(int key);
    // Keys in a score box (viewpoint 0..2), as Qt::Key codes; true when the key was used here.
    // Tab and Shift+Tab (Key_Backtab) move among the checked score boxes only, Tab from the last
    // one on to 登録.
    bool OnScoreBoxKey(int viewpoint, int key);

    void OnAbsent(); // 欠席: marks the current pupil absent for the checked viewpoints
    // 登録: stores the test and closes; false when something was refused (the window stays).
    bool OnRegister();
    // ｷｬﾝｾﾙ (also Escape): with changes not yet registered the teacher is asked first; false
    // when the teacher chose to stay (nothing changed).
    bool OnCancel();
    // The frame's close box: acts as ｷｬﾝｾﾙ unless the editor has already closed; false when
    // the window stays open.
    bool Form_Unload();
    // Something typed or chosen differs from what the window opened with.
    bool HasUnregisteredChanges() const;

    // --- Scores read from a file (得点の読み込み) ------------------------------------------------
    // Commits the entry being edited and tells what a file may fill: the roster, the checked
    // viewpoints with their points, and every pupil's scores as they stand. nullopt when the
    // entry is refused (its message has been shown).
    std::optional<ScoreImportTarget> BeginScoreImport();
    // 取り込む: enters each matched pupil's scores into the boxes as if typed and commits them
    // pupil by pupil, so the grid, totals, averages and ranks follow; then goes back to the pupil
    // who was shown. Nothing reaches the grade book before 登録.
    void ImportScores(const ScorePreview& preview);

    // --- Routines -----------------------------------------------------------------------------
    // Checks the three score boxes; when they pass, writes them into the current pupil's row and
    // refreshes totals, class averages and ranks. Sets session.ScoreEntryError (-1 failed, 0 ok).
    void CommitEntryRow();
    // Writes a stored score into a grid cell (-1 empty, -2 "*", else number text), only when the
    // cell's text differs.
    void WriteGridScore(int row, int col, int16_t value);
    // Stores a grid cell into Scores(slot, column): empty -1, "*" -2, else its number.
    void StoreGridScore(int slot, int column, int row, int gridColumn);

    // --- Queries --------------------------------------------------------------------------------
    bool Closed() const { return closed_; }
    bool Loaded() const { return scoreGrid.Rows() > 40; }
    int FirstSlot() const { return firstSlot_; }
    int RosterRows() const { return roster_; } // RosterSize, kept inside 0..40
    int AverageRow() const { return roster_ + 2; }
    QString& ScoreBox(int viewpoint);
    QString& PointsBox(int viewpoint);
    const QString& ScoreBox(int viewpoint) const;
    const QString& PointsBox(int viewpoint) const;
    bool& ViewpointCheck(int viewpoint);
    bool ViewpointChecked(int viewpoint) const;
    static QString ScoreBoxName(int viewpoint) {
        return QStringLiteral("scoreBox%1").arg(1 + viewpoint);
    }
    // The date as the system writes short dates, and the reading of such a text (invalid when
    // the text is not a date).
    static QString DateText(const QDate& date);
    static QDate ReadDate(const QString& text);

    GradeBook& book;
    Session& session;
    Platform& platform;
    MainFormHooks& main;

    static constexpr int kGridRows = 43;
    static constexpr int kGridCols = 7;
    static constexpr int kGridWidthTwips = 6375;
    static constexpr QRgb kBandTint = 0xFFFFFFE0; // RGB(255, 255, 224)

private:
    void BuildGrid();
    void SetDateText(const QString& text);
    // Empties a viewpoint's column, score box and points box (its check box was unchecked).
    void DropViewpoint(int viewpoint);
    // Total and rank cells of one row from its score cells, then averages and ranks.
    void WriteRowTotal(int row, const std::array<QString, 3>& scores);
    void RefreshAverages();
    void RefreshRanks();
    // Moves to pupil `n`: boxes, name, number and the grid's current row. `col` is the grid
    // column clicked (0 when none), which chooses the box that gets the focus; without
    // `focusBox` the focus stays where it is.
    void ShowPupil(int n, int col, bool focusBox = true);
    // Commits the entry row and moves `step` pupils on (+1 next, -1 previous); false when the
    // entry was refused (the pupil stays).
    bool MovePupil(int step, bool focusBox);
    // Refuses registration of a checked viewpoint with scores but no points.
    bool RefuseMissingPoints();
    // Refuses points lowered below a score of their viewpoint; the points box gets the focus.
    bool RefusePointsBelowScores();
    // Named pupils without a score in a checked viewpoint (欠席 counts as a score): the teacher
    // is asked whether to register all the same. False when not: the editor shows the first
    // such pupil.
    bool ConfirmMissingScores();
    QString ViewpointName(int viewpoint) const;
    int NextNamedPupil(int from, int step) const;
    bool IsChoosablePupil(int n) const;
    QString FirstCheckedBox() const;
    // Gives `control` the focus; a score box of an unchecked viewpoint passes it on in the
    // direction `step` (+1 forwards, -1 backwards).
    void SetFocusTo(QString control, int step = +1);
    // The first checked viewpoint from `viewpoint` on, going by `step` and wrapping round.
    int CheckedBoxFrom(int viewpoint, int step) const;
    bool RefuseUnstorableText();
    void Close();
    void Notify() {
        if (changed)
            changed();
    }

    // What the window opened with: name, date, points, checks and the score columns.
    QStringList Fingerprint() const;
    QStringList loaded_;

    int semester_ = 0, subject_ = 0, test_ = 0;
    int firstSlot_ = 0;
    int roster_ = 0;
    bool closed_ = false;
};

} // namespace kirune
