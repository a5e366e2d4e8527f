#pragma once
// What the two criteria editors share, without a window: for each of a subject's three
// viewpoints an A share box, a C share box and the B share label (B = 100 - A - C), the live
// update that redraws the viewpoint's distribution graph while a share is typed, the spinners,
// the check that no pair exceeds 100 %, printing the graph page and cancelling.
// SemesterSpecEditor (one semester) and SubjectSpecEditor (the whole year, with the renaming of
// the subject and its viewpoints) add their own loading and registration.

#include "document/mainform.h"
#include "model/gradebook.h"
#include "model/session.h"
#include "output/canvas.h"
#include "output/platform.h"

#include <QString>
#include <array>
#include <functional>

namespace kirune {

enum class ShareRole { A, C };

struct ShareFrame {
    QString caption; // "表現の評定基準"
    QString aText;   // the A share box
    QString cText;   // the C share box
    QString bLabel;  // the B share label
};

// The B share as the label shows it: number text, with decimals when it has any (" 34.5").
QString ShareNumberText(double value);

class CriteriaEditor {
public:
    // `period` 0..2 is a semester, 3 the whole year.
    CriteriaEditor(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main,
                   int period, int subject);
    virtual ~CriteriaEditor() = default;

    GradeBook& book;
    Session& session;
    Platform& platform;
    MainFormHooks& main;
    const int period;
    const int subject;

    // --- State shown by the window --------------------------------------------------------
    QString title;
    std::array<ShareFrame, 3> frames; // viewpoints 0, 1, 2

    // --- Hooks set by the window (empty in tests) -------------------------------------------
    // Runs a drawing on the window's persistent layer.
    std::function<void(const std::function<void(Canvas&)>&)> paint;
    std::function<void()> clearLayer;  // clears the layer
    std::function<void()> changed;     // something shown has changed
    std::function<void()> closeWindow; // hides and unloads the window
    // Gives a share box the keyboard focus (a refused empty box).
    std::function<void(int viewpoint, ShareRole role)> focusBox;

    // --- Geometry of the graphs on the window (twips) ---------------------------------------
    static constexpr double kGraphX = 3975;
    virtual double GraphY(int viewpoint) const = 0;
    // The Scores slot whose totals the graph of `viewpoint` shows.
    int GraphSlot(int viewpoint) const;

    // --- Events ----------------------------------------------------------------------------
    const QString& BoxText(int viewpoint, ShareRole role) const;
    // A box is given a share (loading, a spinner): its change event. Nothing happens when the
    // text does not change. A pair above 100 % is refused with a message, and the box gets back
    // the last share it held that was not refused.
    void SetBoxText(int viewpoint, ShareRole role, const QString& text);
    // The spinner beside a box: steps its number by `delta` within 0..99 and writes it there.
    void StepBox(int viewpoint, ShareRole role, int delta);
    // The box with the window-designer name TextN (1..6), which differs between the editors.
    virtual std::pair<int, ShareRole> BoxOfControl(int textNumber) const = 0;
    // Typing in a box: its change event, as SetBoxText; what is typed is kept as the box's
    // share to fall back on only once its editing has finished.
    void Text_Change(int textNumber, const QString& text);
    // The box's editing has finished (Enter, or the focus left it).
    void Text_EditingFinished(int textNumber);

    // The window is shown: each editor fills it in its own way.
    virtual void Form_Activate() = 0;
    // 登録: each editor's own checks and storing, then closing; false (nothing stored) when
    // refused.
    virtual bool Command1_Click() = 0;
    // ｸﾞﾗﾌを印刷: the graph page from the stored shares (not from the boxes); when the boxes
    // hold other shares, the teacher is asked first (OK prints, Cancel prints nothing).
    void Command3_Click();
    // "観点「表現」の A と C の割合の和が 100 を超えています。"
    QString SumOver100Message(int viewpoint) const;
    // Some box holds a share other than the registered one.
    bool BoxesDifferFromStored() const;
    // ｷｬﾝｾﾙ: nothing is stored. With changes not yet registered the teacher is asked first;
    // false when the teacher chose to stay (nothing changed).
    bool Command2_Click();
    // The frame's close box: acts as ｷｬﾝｾﾙ unless the editor has already closed; false when
    // the window stays open.
    bool Form_Unload();
    // A share box (or, in the annual editor, a name) differs from the grade book.
    virtual bool HasUnregisteredChanges() const;
    bool Closed() const { return closed_; }

    // The graphs from the stored shares, on the window's layer.
    void DrawStoredGraphs();
    // B labels of every frame whose pair does not exceed 100 %.
    void ShowBShares();

protected:
    // The shares as typed, stored share values (A, C) of viewpoint k.
    int16_t StoredA(int viewpoint) const;
    int16_t StoredC(int viewpoint) const;
    // Registration's first check: every frame's pair within 100 % ("100%を超えています").
    bool CheckPairs();
    // Every share box filled in ("観点「表現」の A の割合を入力してください。", the box gets
    // the focus) and a value the grade book can hold (a 16-bit whole number once rounded).
    bool CheckShareValues();
    // Stores Val of the box rounded halves to even (after CheckShares).
    void StoreShare(int viewpoint, ShareRole role);
    // Enables the main window and unloads this one.
    void Close();
    void Notify() {
        if (changed)
            changed();
    }

private:
    void ChangeBox(int viewpoint, ShareRole role, const QString& text, bool keep);
    // The change event: B and the graph follow, or the box's text is refused. True when it
    // passed.
    bool OnBoxChange(int viewpoint, ShareRole role);
    // The frame's pair within 100 % and the box's share a value the grade book can hold.
    bool PairPasses(int viewpoint, ShareRole role) const;
    // The text a box falls back on after a refusal, and keeping a frame's texts as that.
    QString& KeptText(int viewpoint, ShareRole role);
    void KeepFrame(int viewpoint);
    void DrawGraph(int viewpoint, int16_t aShare, int16_t cShare);
    QString& Box(int viewpoint, ShareRole role);
    // Each box's text to fall back on (A and C of viewpoints 0..2).
    std::array<std::array<QString, 2>, 3> kept_;
    bool closed_ = false;
};

} // namespace kirune
