#pragma once
// 試験結果の編集: the window of the test editor. It only shows TestEditor's state and forwards
// its events; the behaviour lives in the logic class.

#include "editors/common/editorform.h"
#include "testeditor.h"

#include <QWidget>
#include <array>

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QFocusFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kirune {

class GridView;

// The file dialog's filter of 得点の読み込み.
QString ScoreFileFilter();

class FormTestSpec : public EditorFormBase {
    Q_OBJECT
public:
    FormTestSpec(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main,
                 QWidget* parent = nullptr);
    ~FormTestSpec() override;

    TestEditor& logic() { return logic_; }

    // Client area in twips.
    static constexpr int kClientWidth = 11775;
    static constexpr int kClientHeight = 8280;

protected:
    bool Unload() override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Connect();
    // Shows the logic's texts, check states, calendar and grid in the controls.
    void Refresh();
    void MoveFocus(const QString& control);
    QWidget* ControlNamed(const QString& name) const;
    // 得点の読み込み: asks for a file, shows its preview, fills the score boxes on 取り込む.
    void ImportScoresFromFile();

    TestEditor logic_;
    bool refreshing_ = false; // the controls are being set from the logic: don't forward

    QLineEdit* nameBox_ = nullptr;
    QLineEdit* dateBox_ = nullptr;
    std::array<QLineEdit*, 3> scoreBoxes_{};
    std::array<QLineEdit*, 3> pointsBoxes_{};
    std::array<QCheckBox*, 3> viewpointChecks_{};
    std::array<QLabel*, 3> viewpointLabels_{};
    std::array<QLabel*, 3> scoreLabels_{}; // the viewpoints' names above the score boxes
    QCalendarWidget* calendar_ = nullptr;
    QWidget* calendarView_ = nullptr;      // the part of the calendar that takes the focus
    QFocusFrame* calendarFocus_ = nullptr; // shown around the calendar while it has the focus
    QGroupBox* entryFrame_ = nullptr;
    QComboBox* pupilBox_ = nullptr;
    QLabel* pupilName_ = nullptr;
    QLabel* gridTitle_ = nullptr;
    GridView* grid_ = nullptr;
    QPushButton* registerButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* previousButton_ = nullptr;
    QPushButton* absentButton_ = nullptr;
    QPushButton* importButton_ = nullptr; // 得点の読み込み
    QLabel* picture_ = nullptr;
};

} // namespace kirune
