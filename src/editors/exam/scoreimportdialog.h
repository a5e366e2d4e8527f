#pragma once
// 得点の読み込み: the preview of a score file before anything changes. It shows the columns taken
// (each in a combo box the teacher may change), the sheet of a workbook, the pupils matched with
// their scores as they will be entered, the rows that match no pupil, the pupils without a row,
// the cells that are no scores and the names that differ. 取り込む accepts, キャンセル changes
// nothing. The choices live in ScoreImport; the dialog only shows them.

#include "output/scoreimport.h"

#include <QDialog>
#include <array>

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
    QLabel* message_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::array<QTableWidget*, 5> tables_{};
    QPushButton* import_ = nullptr;
};

} // namespace kirune
