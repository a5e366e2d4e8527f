#include "gridaccessible.h"

#include "gridview.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace kirune {

namespace {

// A cell's text on one line, as it is read: its lines (a header's) joined by a blank.
QString ReadText(const GridView& view, int row, int col) {
    QStringList lines = view.cellText(row, col).split(u'\n');
    for (QString& line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    return lines.join(u' ');
}

// The grid cell of a child index (the inverse of AccessibleCellIndex); {-1, -1} outside.
std::pair<int, int> CellOfIndex(const GridView& view, int index) {
    const int rows = view.rowCount();
    const int cols = view.columnCount();
    const int fr = std::min(view.fixedRows(), rows);
    const int fc = std::min(view.fixedCols(), cols);
    const int bodyCols = cols - fc;
    const int body = (rows - fr) * bodyCols;
    if (index < 0 || index >= rows * cols)
        return {-1, -1};
    if (index < body)
        return {fr + index / bodyCols, fc + index % bodyCols};
    index -= body;
    if (index < fr * cols)
        return {index / cols, index % cols};
    index -= fr * cols;
    return {fr + index / fc, index % fc};
}

class GridTableAccessible;

// One cell. Header cells answer as headers and, as in Qt's own tables, without a place in the
// table's rows and columns.
class GridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    GridCellAccessible(GridView* view, int row, int col) : view_(view), row_(row), col_(col) {}

    bool isValid() const override {
        return view_ && row_ < view_->rowCount() && col_ < view_->columnCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(view_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid() || t != QAccessible::Name)
            return QString();
        return ReadText(*view_, row_, col_);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid())
            return QRect();
        const QRect cell = view_->cellRect(row_, col_);
        return QRect(view_->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override {
        if (isHeaderRow())
            return QAccessible::ColumnHeader;
        return isRowHeader() ? QAccessible::RowHeader : QAccessible::Cell;
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const QRect shown = view_->cellRect(row_, col_);
        if (!view_->isVisible() || !view_->viewport()->rect().intersects(shown))
            state.invisible = state.offscreen = true;
        if (isOrdinary() && view_->isNavigable()) {
            state.focusable = state.selectable = state.multiSelectable = true;
            state.extSelectable = true;
            state.selected = isSelected();
            const bool current = view_->currentRow() == row_ && view_->currentCol() == col_;
            state.active = current;
            state.focused = current && view_->hasFocus();
        }
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface && isOrdinary())
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override { return view_ && view_->isCellSelected(row_, col_); }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        QList<QAccessibleInterface*> headers;
        for (int r = 0; view_ && r < std::min(view_->fixedRows(), row_); ++r)
            headers << Cell(r, col_);
        return headers;
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override {
        QList<QAccessibleInterface*> headers;
        for (int c = 0; view_ && c < std::min(view_->fixedCols(), col_); ++c)
            headers << Cell(row_, c);
        return headers;
    }
    int columnIndex() const override { return view_ ? col_ - view_->fixedCols() : -1; }
    int rowIndex() const override { return view_ ? row_ - view_->fixedRows() : -1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    int row() const { return row_; }
    int col() const { return col_; }

private:
    bool isHeaderRow() const { return view_ && row_ < view_->fixedRows(); }
    bool isRowHeader() const { return view_ && col_ < view_->fixedCols(); }
    bool isOrdinary() const { return !isHeaderRow() && !isRowHeader(); }
    QAccessibleInterface* Cell(int row, int col) const;

    QPointer<GridView> view_;
    int row_;
    int col_;
};

class GridTableAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridTableAccessible(GridView* view) : QAccessibleWidget(view, QAccessible::Table) {}
    ~GridTableAccessible() override { forgetCells(); }

    GridView* view() const { return static_cast<GridView*>(widget()); }

    // The interface of the grid cell (row, col), made once and kept while the table lasts.
    QAccessibleInterface* cell(int row, int col) const {
        if (row < 0 || col < 0 || row >= view()->rowCount() || col >= view()->columnCount())
            return nullptr;
        const auto key = std::pair(row, col);
        if (const auto kept = cells_.constFind(key); kept != cells_.cend())
            return QAccessible::accessibleInterface(*kept);
        auto* made = new GridCellAccessible(view(), row, col);
        cells_.insert(key, QAccessible::registerAccessibleInterface(made));
        return made;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    int childCount() const override { return view()->rowCount() * view()->columnCount(); }
    QAccessibleInterface* child(int index) const override {
        const auto [row, col] = CellOfIndex(*view(), index);
        return cell(row, col);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* cell = dynamic_cast<const GridCellAccessible*>(child);
        if (!cell || cell->parent() != this)
            return -1;
        return AccessibleCellIndex(*view(), cell->row(), cell->col());
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const auto [row, col] = view()->cellAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
        return cell(row, col);
    }
    QAccessibleInterface* focusChild() const override {
        if (!view()->hasFocus() || !view()->isNavigable())
            return nullptr;
        return cell(view()->currentRow(), view()->currentCol());
    }

    // QAccessibleTableInterface: rows and columns of the ordinary cells.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    int rowCount() const override { return std::max(view()->rowCount() - view()->fixedRows(), 0); }
    int columnCount() const override {
        return std::max(view()->columnCount() - view()->fixedCols(), 0);
    }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        return cell(row + view()->fixedRows(), column + view()->fixedCols());
    }
    QString columnDescription(int column) const override {
        QStringList lines;
        for (int r = 0; r < std::min(view()->fixedRows(), view()->rowCount()); ++r)
            lines << ReadText(*view(), r, column + view()->fixedCols());
        return lines.join(u' ').trimmed();
    }
    QString rowDescription(int row) const override {
        QStringList texts;
        for (int c = 0; c < std::min(view()->fixedCols(), view()->columnCount()); ++c)
            texts << ReadText(*view(), row + view()->fixedRows(), c);
        return texts.join(u' ').trimmed();
    }
    int selectedCellCount() const override {
        const CellRange range = selectedBody();
        return range.isEmpty() ? 0
                               : (range.bottom - range.top + 1) * (range.right - range.left + 1);
    }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> selected;
        const CellRange range = selectedBody();
        for (int r = range.top; r <= range.bottom; ++r)
            for (int c = range.left; c <= range.right; ++c)
                selected << cell(r, c);
        return selected;
    }
    int selectedColumnCount() const override { return static_cast<int>(selectedColumns().size()); }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    QList<int> selectedColumns() const override {
        QList<int> columns;
        for (int c = 0; c < columnCount(); ++c)
            if (isColumnSelected(c))
                columns << c;
        return columns;
    }
    QList<int> selectedRows() const override {
        QList<int> rows;
        for (int r = 0; r < rowCount(); ++r)
            if (isRowSelected(r))
                rows << r;
        return rows;
    }
    bool isColumnSelected(int column) const override {
        const CellRange range = selectedBody();
        const int col = column + view()->fixedCols();
        return rowCount() > 0 && range.top == view()->fixedRows() &&
               range.bottom == view()->rowCount() - 1 && range.left <= col && col <= range.right;
    }
    bool isRowSelected(int row) const override {
        const CellRange range = selectedBody();
        const int r = row + view()->fixedRows();
        return columnCount() > 0 && range.left == view()->fixedCols() &&
               range.right == view()->columnCount() - 1 && range.top <= r && r <= range.bottom;
    }
    bool selectRow(int row) override {
        if (!view()->isNavigable() || row < 0 || row >= rowCount())
            return false;
        view()->selectRows(row + view()->fixedRows(), row + view()->fixedRows());
        return true;
    }
    bool selectColumn(int column) override {
        if (!view()->isNavigable() || column < 0 || column >= columnCount())
            return false;
        view()->selectColumns(column + view()->fixedCols(), column + view()->fixedCols());
        return true;
    }
    // The selection is one range: a row or column is unselected by clearing it when it is all
    // that is selected.
    bool unselectRow(int row) override {
        if (!isRowSelected(row))
            return true;
        if (selectedRowCount() != 1)
            return false;
        view()->clearSelection();
        return true;
    }
    bool unselectColumn(int column) override {
        if (!isColumnSelected(column))
            return true;
        if (selectedColumnCount() != 1)
            return false;
        view()->clearSelection();
        return true;
    }
    void modelChange(QAccessibleTableModelChangeEvent*) override { forgetCells(); }

private:
    // The selection cut to the ordinary cells.
    CellRange selectedBody() const {
        CellRange range = view()->selection();
        range.top = std::max(range.top, view()->fixedRows());
        range.left = std::max(range.left, view()->fixedCols());
        return range;
    }
    void forgetCells() {
        for (const QAccessible::Id id : std::as_const(cells_))
            QAccessible::deleteAccessibleInterface(id);
        cells_.clear();
    }

    mutable QHash<std::pair<int, int>, QAccessible::Id> cells_;
};

QAccessibleInterface* GridCellAccessible::Cell(int row, int col) const {
    auto* table = static_cast<GridTableAccessible*>(parent());
    return table ? table->cell(row, col) : nullptr;
}

QAccessibleInterface* GridFactory(const QString& className, QObject* object) {
    // Asked for the most derived class first.
    if (className == QLatin1String(GridView::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new GridTableAccessible(static_cast<GridView*>(object));
    return nullptr;
}

} // namespace

void InstallGridAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(GridFactory);
        return true;
    }();
    (void)installed;
}

int AccessibleCellIndex(const GridView& view, int row, int col) {
    const int rows = view.rowCount();
    const int cols = view.columnCount();
    if (row < 0 || col < 0 || row >= rows || col >= cols)
        return -1;
    const int fr = std::min(view.fixedRows(), rows);
    const int fc = std::min(view.fixedCols(), cols);
    if (row >= fr && col >= fc)
        return (row - fr) * (cols - fc) + (col - fc);
    const int body = (rows - fr) * (cols - fc);
    if (row < fr)
        return body + row * cols + col;
    return body + fr * cols + (row - fr) * fc + col;
}

} // namespace kirune
