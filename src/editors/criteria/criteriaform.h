#pragma once
// What the two criteria windows share: the layer the graphs are drawn on, the three criteria
// frames (rank pictures and labels, the A and C share boxes with their spinners, the B share
// label), the buttons 登録, ｷｬﾝｾﾙ and ｸﾞﾗﾌを印刷, Esc and the close box as ｷｬﾝｾﾙ, and showing the
// logic's state. Each window says where its controls go and adds its own.

#include "criteriaeditor.h"
#include "criteriawidgets.h"

#include <QWidget>
#include <array>
#include <memory>

class QGroupBox;
class QLabel;
class QPushButton;

namespace kirune {

// Where a criteria window puts the shared controls, in twips, and the designer's numbers of its
// boxes and spinners. Positions inside a frame are relative to the frame.
struct CriteriaFormLayout {
    double clientWidth;
    double clientHeight;
    std::array<double, 3> frameTop; // the criteria frames of viewpoints 0, 1, 2
    double iconLeft;                // the rank pictures
    double rankLabelLeft;           // "Aランク", "Bランク", "Cランク"
    double boxLeft;                 // the A and C share boxes
    double spinnerLeft;             // their spinners
    double bLabelLeft;              // the B share label
    double percentLeft;             // the "％" labels
    double buttonLeft;
    double buttonWidth;
    std::array<double, 3> buttonTop; // Command1 登録, Command2 ｷｬﾝｾﾙ, Command3 ｸﾞﾗﾌを印刷
    // TextN of each frame's A and C box, and UpDownN of their spinners.
    std::array<int, 3> aText;
    std::array<int, 3> cText;
    std::array<int, 3> aUpDown;
    std::array<int, 3> cUpDown;
};

class CriteriaFormBase : public QWidget {
public:
    ~CriteriaFormBase() override;

    const QImage& layer() const { return layer_.image(); }

    // Controls by their designer names, for tests.
    ShareLineEdit* Text(int number) const { return text_[number - 1]; }         // Text1..Text6
    SpinButtons* UpDown(int number) const { return upDown_[number - 1]; }       // UpDown1..6
    QLabel* BLabel(int viewpoint) const { return bLabel_[viewpoint]; }          // 0..2
    QGroupBox* CriteriaFrame(int viewpoint) const { return frame_[viewpoint]; } // 0..2
    QPushButton* Command(int number) const { return command_[number - 1]; }     // Command1..3

protected:
    // A window of the layout's size for `logic`, with an empty layer and no controls yet.
    CriteriaFormBase(std::unique_ptr<CriteriaEditor> logic, const CriteriaFormLayout& layout,
                     QWidget* parent);

    CriteriaEditor& editor() const { return *logic_; }

    // Adds the three criteria frames, then the three buttons; the window calls it where these
    // come in its tab order.
    void BuildCriteriaControls();
    // Points the logic's hooks at this window (the layer, Refresh and close).
    void ConnectLogic();
    // Shows the logic's title, the frames' captions, the B shares and the boxes' texts.
    virtual void Refresh();

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<CriteriaEditor> logic_;
    const CriteriaFormLayout layout_;
    GraphLayer layer_;
    bool activated_ = false;
    std::array<QGroupBox*, 3> frame_{};
    std::array<ShareLineEdit*, 6> text_{};
    std::array<SpinButtons*, 6> upDown_{};
    std::array<QLabel*, 3> bLabel_{};
    std::array<QPushButton*, 3> command_{};
};

} // namespace kirune
