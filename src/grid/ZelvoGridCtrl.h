#pragma once
// The editable grid of cells the list editors show their rows in: a thin
// layer over wxGrid, which draws, scrolls, edits in place and moves by
// keyboard. It adds what the editors work with: data rows counted from 0
// (the optional header row is the grid's column-label row and is not
// counted), inserting and deleting rows with the focus placed the same way
// every time, columns that share the grid's width, and two notifications
// carrying the data row and column.

#include <wx/grid.h>

// Sent to the grid's parent (it propagates like a command event) with the
// grid's id; Row() and Column() name the cell.
class ZelvoGridEvent : public wxCommandEvent {
public:
    ZelvoGridEvent(wxEventType type = wxEVT_NULL, int id = 0, int row = -1, int column = -1)
        : wxCommandEvent(type, id), m_row(row), m_column(column) {}
    int Row() const { return m_row; }
    int Column() const { return m_column; }
    wxEvent* Clone() const override { return new ZelvoGridEvent(*this); }

private:
    int m_row;
    int m_column;
};

// The user finished editing a cell and its text changed (the new text is in
// the cell already).
wxDECLARE_EVENT(EVT_ZELVO_GRID_EDIT_END, ZelvoGridEvent);
// The focused cell moves to Row(), Column() (sent before GetFocusedRow()
// reports the new cell, also when the program moves the focus).
wxDECLARE_EVENT(EVT_ZELVO_GRID_SELECTION, ZelvoGridEvent);

class ZelvoGridCtrl : public wxGrid {
public:
    // Creates the grid at `rect` of `parent` with no rows or columns.
    ZelvoGridCtrl(wxWindow* parent, wxWindowID id, const wxRect& rect);

    // Shape. A grid with a fixed (header) row shows its column labels;
    // without one the labels are hidden.
    void SetRowCount(int rows);
    int RowCount() const { return GetNumberRows(); }
    void SetColumnCount(int columns);
    int ColumnCount() const { return GetNumberCols(); }
    void SetFixedRowCount(int fixedRows);
    int FixedRowCount() const { return m_fixedRows; }
    void SetHeaderText(int column, const wxString& text);

    // Cells.
    void SetText(int row, int column, const wxString& text);
    wxString Text(int row, int column) const;
    void SetTextColour(int row, int column, const wxColour& colour);
    void SetBackground(int row, int column, const wxColour& colour);
    // A column the user cannot edit, drawn like a header.
    void SetColumnFixed(int column);

    // The focused cell; -1 when no data row (column) has the focus.
    int FocusedRow() const;
    int FocusedColumn() const;
    // Gives the focus to (row, column) and selects the row; -1 clears it.
    void FocusRow(int row, int column = 0);

    // Inserts an empty row before data row `before`, or at the end when
    // `before` is not a data row; the new row gets the focus and the
    // selection. Returns its row.
    int InsertRow(int before);
    // Deletes data row `row`; the row that took its place (or the new last
    // row) gets the focus and the selection. Returns that row, -1 when no
    // rows remain or `row` was not a data row.
    int DeleteRow(int row);

    // Widens the columns so they fill the grid's width; done on every
    // resize too.
    void FillWidth();
    // Repaints the whole grid.
    void Invalidate();

private:
    void OnSize(wxSizeEvent& event);
    void OnCellChanged(wxGridEvent& event);
    void OnSelectCell(wxGridEvent& event);
    void OnUserMove(wxEvent& event);
    void OnCharHook(wxKeyEvent& event);

    int m_fixedRows = 0;
    // wxGrid puts its cursor on the first cell by itself (when it is shown
    // or gets the focus). Until a row is focused by FocusRow, a click or a
    // key, that cursor does not count and moves of it are refused, so that
    // "no focused row" lasts.
    bool m_cursorFree = false;
};
