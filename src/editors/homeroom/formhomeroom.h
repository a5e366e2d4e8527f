#pragma once
// 学級の編集: the window of the homeroom editor. It only shows HomeRoomEditor's state and
// forwards its events; the behaviour lives in the logic class.

#include "editors/common/editorform.h"
#include "homeroomeditor.h"

#include <QWidget>
#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kirune {

class GridView;

class FormHomeRoom : public EditorFormBase {
    Q_OBJECT
public:
    FormHomeRoom(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main,
                 QWidget* parent = nullptr);
    ~FormHomeRoom() override;

    HomeRoomEditor& logic() { return logic_; }

    // Client area in twips.
    static constexpr int kClientWidth = 8460;
    static constexpr int kClientHeight = 6900;

protected:
    bool Unload() override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Connect();
    // Shows the logic's texts and grid in the controls.
    void Refresh();
    void FitNameColumn();
    void Focus(HomeRoomEditor::Field field);

    HomeRoomEditor logic_;
    bool refreshing_ = false; // the controls are being set from the logic: don't forward
    bool closing_ = false;

    std::array<QComboBox*, 3> combo1_{};
    QLineEdit* text1_ = nullptr;
    GridView* grid_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QComboBox* combo2_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command3_ = nullptr;
    QPushButton* command4_ = nullptr;
    QPushButton* command5_ = nullptr;
    QLabel* picture1_ = nullptr;
};

} // namespace kirune
