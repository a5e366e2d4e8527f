#pragma once
// The window of File > 学年の集計: the grade's classes side by side, the period to show, the
// books not read and the notes under the table, and buttons to print and save. It shows the
// state of a GradeSummaryLogic and forwards the teacher's choices to it.

#include "document/gradesummarylogic.h"

#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;

namespace kirune {

class GridView;

class SummaryWindow : public QWidget {
    Q_OBJECT
public:
    explicit SummaryWindow(std::unique_ptr<GradeSummaryLogic> logic, QWidget* parent = nullptr);
    ~SummaryWindow() override;

    GradeSummaryLogic& logic() { return *logic_; }

private:
    void ShowState();
    std::unique_ptr<GradeSummaryLogic> logic_;
    QLabel* caption_;
    QComboBox* period_;
    QPushButton* print_;
    QPushButton* save_;
    QPushButton* close_;
    GridView* table_;
    QLabel* notes_;
    QLabel* status_;
};

} // namespace kirune
