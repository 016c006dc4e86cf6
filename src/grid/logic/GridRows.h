#pragma once
// Where rows go in the editable grid, counted in data rows from 0 (a header
// row, where there is one, is not counted). -1 stands for "no row".

namespace GridRows {

// The row a new row is inserted at: just after the focused row, or at the
// end when no data row has the focus (focused outside 0..count-1).
int InsertPosition(int focusedRow, int count);

// The row that has the focus after row `deleted` was removed from a grid
// that now holds `countAfter` rows: the row that took its place, or the new
// last row when the deleted row was the last one; -1 when none remain.
int FocusAfterDelete(int deleted, int countAfter);

// Whether `row` is a data row of a grid of `count` rows.
inline bool IsDataRow(int row, int count) {
    return row >= 0 && row < count;
}

}  // namespace GridRows
