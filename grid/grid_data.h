// What the grid holds: the columns (width, header) and the rows of cells
// (text, data). Indexes are checked by the caller; every operation that
// allocates either completes or changes nothing and answers E_OUTOFMEMORY.
#pragma once

#include <deque>
#include <vector>

#include "automation/hresult.h"
#include "automation/types.h"

namespace qmx {

class GridData {
public:
    static constexpr LONG kDefaultColumnWidth = 40;

    LONG ColCount() const { return static_cast<LONG>(widths_.size()); }
    LONG RowCount() const { return static_cast<LONG>(rows_.size()); }
    bool IsColumn(LONG col) const { return col >= 0 && col < ColCount(); }
    bool IsRow(LONG row) const { return row >= 0 && row < RowCount(); }
    bool IsCell(LONG row, LONG col) const { return IsRow(row) && IsColumn(col); }

    // New columns are kDefaultColumnWidth wide, with empty headers and
    // cells holding data 0.
    HRESULT SetColCount(LONG count);

    const std::vector<LONG>& ColWidths() const { return widths_; }
    void SetColWidth(LONG col, LONG width) { widths_[col] = width; }
    const BSTR& Header(LONG col) const { return headers_[col]; }
    HRESULT SetHeader(LONG col, const BSTR& text);

    const BSTR& Text(LONG row, LONG col) const { return rows_[row][col].text; }
    HRESULT SetText(LONG row, LONG col, const BSTR& text);
    LONG Data(LONG row, LONG col) const { return rows_[row][col].data; }
    void SetData(LONG row, LONG col, LONG data) { rows_[row][col].data = data; }

    // A row of empty cells (data 0) before `row` (0..RowCount).
    HRESULT InsertRow(LONG row);
    void DeleteRow(LONG row);
    void DeleteAllRows();

private:
    struct Cell {
        BSTR text;
        LONG data = 0;
    };
    using Row = std::vector<Cell>;

    std::vector<LONG> widths_;
    std::vector<BSTR> headers_;
    // Rows go in and out at both ends (and in between) without moving the
    // whole list.
    std::deque<Row> rows_;
};

}  // namespace qmx
