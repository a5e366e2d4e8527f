#pragma once
// 通年の評定基準の作成: the window of the annual criteria editor. It shows SubjectSpecEditor's
// state, forwards its events and keeps the layer the graphs are drawn on.

#include "criteriawidgets.h"
#include "subjectspeceditor.h"

#include <QWidget>
#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace kirune {

class FormSubjectSpec : public QWidget {
  public:
    FormSubjectSpec(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main,
                    QWidget* parent = nullptr);
    ~FormSubjectSpec() override;

    SubjectSpecEditor& logic() { return logic_; }
    const QImage& layer() const { return layer_.image(); }

    // Controls by their designer names, for tests.
    ShareLineEdit* Text(int number) const { return text_[number - 1]; }         // Text1..Text6
    SpinButtons* UpDown(int number) const { return upDown_[number - 1]; }       // UpDown1..UpDown6
    QComboBox* Combo(int number) const { return combo_[number - 1]; }           // Combo1..Combo4
    QLabel* BLabel(int viewpoint) const { return bLabel_[viewpoint]; }          // Label8, 14, 21
    QGroupBox* CriteriaFrame(int viewpoint) const { return frame_[viewpoint]; } // Frame2..4
    QPushButton* Command(int number) const { return command_[number - 1]; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void BuildControls();
    void Refresh();

    SubjectSpecEditor logic_;
    GraphLayer layer_;
    bool activated_ = false;
    bool refreshing_ = false;
    std::array<QComboBox*, 4> combo_{};
    std::array<QGroupBox*, 3> frame_{};
    std::array<ShareLineEdit*, 6> text_{};
    std::array<SpinButtons*, 6> upDown_{};
    std::array<QLabel*, 3> bLabel_{};
    std::array<QPushButton*, 3> command_{};
};

} // namespace kirune
