#pragma once
// 所見の編集: the window of the comment editor. It only shows CommentEditor's state and forwards
// its events; the behaviour lives in the logic class.

#include "commenteditor.h"
#include "editors/common/editorform.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace kirune {

class GridView;

class FormComment : public EditorFormBase {
    Q_OBJECT
public:
    FormComment(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main,
                QWidget* parent = nullptr);
    ~FormComment() override;

    CommentEditor& logic() { return logic_; }

    // Client area in twips.
    static constexpr int kClientWidth = 10800;
    static constexpr int kClientHeight = 7200;

protected:
    bool Unload() override { return closing_ || logic_.Form_Unload(); }

private:
    void BuildControls();
    void Refresh(); // shows the logic's state in the controls

    CommentEditor logic_;
    bool refreshing_ = false; // the controls are being set from the logic: don't forward
    bool closing_ = false;

    QLabel* heading_ = nullptr;
    QComboBox* period_ = nullptr;
    QSpinBox* limit_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QLabel* count_ = nullptr;
    GridView* ratings_ = nullptr;
    QListWidget* pending_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* register_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace kirune
