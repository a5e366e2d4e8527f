#pragma once
// Shows a kirune::Grid: row 0 and column 0 look fixed (header-like), widths and heights in twips,
// alignment 7 = right and vertically centred, a CR in a cell shown as a line break, per-cell
// background colours and a current cell. The Grid stays the data; call refresh() after changing
// it.

#include "browse/grid.h"

#include <QTableView>

namespace kirune {

class GridModel;

class GridView : public QTableView {
    Q_OBJECT
  public:
    explicit GridView(QWidget* parent = nullptr);
    ~GridView() override;

    void setGrid(const Grid* grid);
    const Grid* grid() const { return grid_; }
    // Re-reads texts, sizes, colours and the current cell from the grid.
    void refresh();

  signals:
    void cellClicked(int row, int col);

  private:
    const Grid* grid_ = nullptr;
    GridModel* model_;
};

} // namespace kirune
