#include "gridview.h"

#include "twips.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QColor>
#include <QHeaderView>

namespace kirune {

class GridModel : public QAbstractTableModel {
  public:
    explicit GridModel(QObject* parent) : QAbstractTableModel(parent) {}

    void Reset(const Grid* grid) {
        beginResetModel();
        grid_ = grid;
        rows_ = grid ? grid->Rows() : 0;
        cols_ = grid ? grid->Cols() : 0;
        endResetModel();
    }
    // The view knows the counts it was last told; a grid that grew or shrank resets the model.
    bool SizeChanged() const { return grid_ && (rows_ != grid_->Rows() || cols_ != grid_->Cols()); }
    void Changed() {
        if (grid_ && rowCount() > 0 && columnCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : rows_;
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : cols_;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!grid_ || !index.isValid())
            return {};
        const int row = index.row();
        const int col = index.column();
        switch (role) {
        case Qt::DisplayRole: {
            QString text = grid_->Text(row, col);
            text.replace(QChar(13), QChar(10));
            return text;
        }
        case Qt::TextAlignmentRole:
            if (row > 0 && col > 0 && grid_->ColAlignment(col) == kAlignRightCenter)
                return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
            if (row == 0)
                return QVariant::fromValue(Qt::Alignment(Qt::AlignHCenter | Qt::AlignVCenter));
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        case Qt::BackgroundRole: {
            if (auto colour = grid_->CellBackground(row, col))
                return QBrush(QColor::fromRgb(*colour));
            if (row == 0 || col == 0)
                return QBrush(QColor(0xe4, 0xe4, 0xe4));
            return {};
        }
        default:
            return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid())
            return Qt::NoItemFlags;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }

  private:
    const Grid* grid_ = nullptr;
    int rows_ = 0;
    int cols_ = 0;
};

GridView::GridView(QWidget* parent) : QTableView(parent), model_(new GridModel(this)) {
    setModel(model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(true);
    setTextElideMode(Qt::ElideNone);
    setStyleSheet(
        QStringLiteral("QTableView { gridline-color: #a0a0a0; }"
                       "QTableView::item:selected { background: #3874d8; color: white; }"));
    connect(this, &QTableView::clicked, this,
            [this](const QModelIndex& index) { emit cellClicked(index.row(), index.column()); });
}

GridView::~GridView() = default;

void GridView::setGrid(const Grid* grid) {
    grid_ = grid;
    model_->Reset(grid);
    refresh();
}

void GridView::refresh() {
    if (!grid_)
        return;
    if (model_->SizeChanged())
        model_->Reset(grid_);
    else
        model_->Changed();
    for (int c = 0; c < grid_->Cols(); ++c) {
        const int width = TwipsToPixels(grid_->ColWidth(c));
        if (columnWidth(c) != width)
            setColumnWidth(c, width);
    }
    for (int r = 0; r < grid_->Rows(); ++r) {
        const int height = TwipsToPixels(grid_->RowHeight(r));
        if (rowHeight(r) != height)
            setRowHeight(r, height);
    }
    const QModelIndex current = model_->index(grid_->CurrentRow(), grid_->CurrentCol());
    if (current.isValid() && currentIndex() != current)
        setCurrentIndex(current);
}

} // namespace kirune
