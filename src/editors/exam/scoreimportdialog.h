#pragma once
// 得点の読み込み: the preview of a score file before anything changes. It shows the columns taken
// (each in a combo box the teacher may change), the sheet of a workbook, the pupils matched with
// their scores as they will be entered, the rows that match no pupil, the pupils without a row,
// the cells that are no scores and the names that differ. It asks for what it cannot decide: a
// viewpoint's column that no header names while others' do, whether rows whose number and name
// name different pupils follow the number or the name, and (for a table without headers) that
// the first row is data. 取り込む accepts, キャンセル changes nothing. The choices live in
// ScoreImport; the dialog only shows them.

#include "output/scoreimport.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace kirune {

class ScoreImportDialog : public QDialog {
    Q_OBJECT
public:
    ScoreImportDialog(ScoreImport& import, const QString& fileName, QWidget* parent = nullptr);

    // The combo boxes, for tests: the number and name columns, then the viewpoints'.
    QComboBox* SheetBox() const { return sheet_; }
    QComboBox* ColumnBox(int index) const { return columnBoxes_[static_cast<size_t>(index)]; }
    QPushButton* ImportButton() const { return import_; }
    QTabWidget* Tabs() const { return tabs_; }
    QCheckBox* HeaderlessBox() const { return headerless_; }
    QComboBox* FollowsBox() const { return follows_; }
    QLabel* MessageLine() const { return message_; }
    // The first table's rows the dialog shows without scrolling.
    int VisibleRows() const;

private:
    // Fills the column boxes from the table (after a sheet was chosen).
    void FillColumnBoxes();
    // Shows the preview in the tabs and the message line.
    void ShowPreview();
    void ColumnsChosen();

    ScoreImport& import_state_;
    bool filling_ = false;
    QComboBox* sheet_ = nullptr;
    QLabel* sheetLabel_ = nullptr;
    // 出席番号, 氏名, then viewpoints 1..3 (hidden when the viewpoint is not checked).
    std::array<QComboBox*, 5> columnBoxes_{};
    std::array<QLabel*, 5> columnLabels_{};
    QCheckBox* headerless_ = nullptr;
    QLabel* followsLabel_ = nullptr;
    QComboBox* follows_ = nullptr;
    QLabel* message_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::array<QTableWidget*, 5> tables_{};
    QPushButton* import_ = nullptr;
};

} // namespace kirune
