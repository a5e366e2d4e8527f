#pragma once
// The main grid's cells as data: the table builders write texts, widths, alignment and colours
// here exactly as the grid on screen holds them (stale cells included); the widget only shows it.

#include <QRgb>
#include <QString>
#include <optional>
#include <vector>

namespace kirune {

// Column alignment: 7 = right and vertically centred; the other codes are left as the grid's
// default (left, vertically centred).
constexpr int kAlignRightCenter = 7;
constexpr int kAlignDefault = -1;

// What a table cell holds, beside the text it shows: the exports write this and never read the
// shown text back (whose separators depend on the regional settings).
struct CellValue {
    enum class Kind {
        Text,   // a name, a label, a header, or nothing (the text is empty)
        Number, // a number as shown: with `decimals` digits after the point, grouped or not
        Absent, // an absence without points ("*")
        Rating, // "A", "B" or "C"
    };
    Kind kind = Kind::Text;
    double number = 0;
    int decimals = 0;
    bool grouped = false;
    // A sum that includes an absence, shown with "*" before its points.
    bool absenceMarked = false;

    static CellValue Text() { return {}; }
    static CellValue Number(double value, int decimals = 0, bool grouped = false) {
        return {Kind::Number, value, decimals, grouped, false};
    }
    static CellValue MarkedNumber(double value, int decimals = 0, bool grouped = false) {
        return {Kind::Number, value, decimals, grouped, true};
    }
    static CellValue Absent() { return {Kind::Absent, 0, 0, false, false}; }
    static CellValue Rating() { return {Kind::Rating, 0, 0, false, false}; }

    bool operator==(const CellValue&) const = default;
};

class Grid {
public:
    Grid(int rows = 2, int cols = 2);

    int Rows() const { return static_cast<int>(cells_.size()); }
    int Cols() const { return cols_; }
    // Changing the size keeps the cells that remain; new cells are empty. Sizes below 1 are
    // raised to 1. A new row count makes the last row the one summary row.
    void SetRows(int rows);
    void SetCols(int cols);

    // Reading or writing outside the grid is ignored (reads give "" and a text value), never
    // undefined. SetText writes a text cell; SetCell writes a cell with what it holds.
    const QString& Text(int row, int col) const;
    const CellValue& Value(int row, int col) const;
    void SetText(int row, int col, const QString& text);
    void SetCell(int row, int col, const QString& text, const CellValue& value);
    void ClearAllText();

    int ColWidth(int col) const; // twips
    void SetColWidth(int col, int twips);
    int RowHeight(int row) const; // twips
    void SetRowHeight(int row, int twips);
    // The rows at the end that sum the table up (the class averages; the counts of each
    // rating): ruled off from the pupils on paper.
    int SummaryRows() const { return summaryRows_; }
    void SetSummaryRows(int rows);
    // A wide row's first cell spans every column, its text left-aligned (a pupil's comment under
    // the record); its other cells are not shown. SetRows clears them.
    bool WideRow(int row) const { return row >= 0 && row < Rows() && wideRows_[row]; }
    void SetWideRow(int row, bool wide = true);
    int ColAlignment(int col) const;
    void SetColAlignment(int col, int alignment);

    std::optional<QRgb> CellBackground(int row, int col) const;
    void SetCellBackground(int row, int col, QRgb colour);

    int CurrentRow() const { return currentRow_; }
    int CurrentCol() const { return currentCol_; }
    void SetCurrentCell(int row, int col);

    // Row r's texts joined with "|" (handy for comparing whole tables).
    QString RowString(int row) const;

    static constexpr int kDefaultColWidth = 960;
    static constexpr int kDefaultRowHeight = 300;

private:
    struct Cell {
        QString text;
        CellValue value;
        std::optional<QRgb> background;
    };
    bool Inside(int row, int col) const {
        return row >= 0 && col >= 0 && row < Rows() && col < cols_;
    }
    int cols_;
    std::vector<std::vector<Cell>> cells_;
    std::vector<int> colWidths_;
    std::vector<int> colAlign_;
    std::vector<int> rowHeights_;
    std::vector<bool> wideRows_;
    int summaryRows_ = 1;
    int currentRow_ = 1;
    int currentCol_ = 1;
};

} // namespace kirune
