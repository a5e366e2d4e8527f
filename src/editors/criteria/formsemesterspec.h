#pragma once
// 学期毎の評定基準の作成: the window of the semester criteria editor. It shows
// SemesterSpecEditor's state, forwards its events and keeps the layer the graphs are drawn on.

#include "criteriawidgets.h"
#include "semesterspeceditor.h"

#include <QWidget>
#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

namespace kirune {

class FormSemesterSpec : public QWidget {
  public:
    FormSemesterSpec(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main,
                     QWidget* parent = nullptr);
    ~FormSemesterSpec() override;

    SemesterSpecEditor& logic() { return logic_; }
    const QImage& layer() const { return layer_.image(); }

    // Controls by their designer names, for tests.
    ShareLineEdit* Text(int number) const { return text_[number - 1]; }   // Text1..Text6
    SpinButtons* UpDown(int number) const { return upDown_[number - 1]; } // UpDown1..UpDown6
    QLabel* BLabel(int viewpoint) const { return bLabel_[viewpoint]; }    // Label4, 11, 18
    QGroupBox* Frame(int viewpoint) const { return frame_[viewpoint]; }   // Frame1..Frame3
    QPushButton* Command(int number) const { return command_[number - 1]; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void BuildControls();
    void Refresh();

    SemesterSpecEditor logic_;
    GraphLayer layer_;
    bool activated_ = false;
    std::array<QGroupBox*, 3> frame_{};
    std::array<ShareLineEdit*, 6> text_{};
    std::array<SpinButtons*, 6> upDown_{};
    std::array<QLabel*, 3> bLabel_{};
    std::array<QPushButton*, 3> command_{};
};

} // namespace kirune
