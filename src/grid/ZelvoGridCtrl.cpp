#include "grid/ZelvoGridCtrl.h"

#include <algorithm>
#include <utility>

#include <wx/settings.h>

#include "grid/logic/GridRows.h"

wxDEFINE_EVENT(EVT_ZELVO_GRID_EDIT_END, ZelvoGridEvent);
wxDEFINE_EVENT(EVT_ZELVO_GRID_SELECTION, ZelvoGridEvent);

ZelvoGridCtrl::ZelvoGridCtrl(wxWindow* parent, wxWindowID id, const wxRect& rect)
    : wxGrid(parent, id, rect.GetPosition(), rect.GetSize(), wxWANTS_CHARS | wxBORDER_SUNKEN) {
    CreateGrid(0, 0, wxGridSelectRows);
    HideRowLabels();
    HideColLabels();
    // Rows are added and moved by the editors' buttons only.
    DisableDragRowSize();
    DisableDragColMove();
    SetDefaultCellOverflow(false);
    Bind(wxEVT_SIZE, &ZelvoGridCtrl::OnSize, this);
    Bind(wxEVT_GRID_CELL_CHANGED, &ZelvoGridCtrl::OnCellChanged, this);
    Bind(wxEVT_GRID_SELECT_CELL, &ZelvoGridCtrl::OnSelectCell, this);
    // The grid window hands its keys to the grid; a click arrives as the
    // cell event before the grid moves its cursor.
    Bind(wxEVT_KEY_DOWN, &ZelvoGridCtrl::OnUserMove, this);
    Bind(wxEVT_GRID_CELL_LEFT_CLICK, &ZelvoGridCtrl::OnUserMove, this);
    Bind(wxEVT_GRID_CELL_RIGHT_CLICK, &ZelvoGridCtrl::OnUserMove, this);
    Bind(wxEVT_CHAR_HOOK, &ZelvoGridCtrl::OnCharHook, this);
}

void ZelvoGridCtrl::SetRowCount(int rows) {
    const int now = GetNumberRows();
    if (rows > now) AppendRows(rows - now);
    if (rows < now) DeleteRows(rows, now - rows);
}

void ZelvoGridCtrl::SetColumnCount(int columns) {
    const int now = GetNumberCols();
    if (columns > now) AppendCols(columns - now);
    if (columns < now) DeleteCols(columns, now - columns);
    FillWidth();
}

void ZelvoGridCtrl::SetFixedRowCount(int fixedRows) {
    m_fixedRows = fixedRows > 0 ? 1 : 0;
    if (m_fixedRows)
        SetColLabelSize(WXGRID_DEFAULT_COL_LABEL_HEIGHT);
    else
        HideColLabels();
}

void ZelvoGridCtrl::SetHeaderText(int column, const wxString& text) {
    SetColLabelValue(column, text);
}

void ZelvoGridCtrl::SetText(int row, int column, const wxString& text) {
    SetCellValue(row, column, text);
}

wxString ZelvoGridCtrl::Text(int row, int column) const {
    return GetCellValue(row, column);
}

void ZelvoGridCtrl::SetTextColour(int row, int column, const wxColour& colour) {
    SetCellTextColour(row, column, colour);
}

void ZelvoGridCtrl::SetBackground(int row, int column, const wxColour& colour) {
    SetCellBackgroundColour(row, column, colour);
}

void ZelvoGridCtrl::SetColumnFixed(int column) {
    auto* attr = new wxGridCellAttr;
    attr->SetReadOnly();
    attr->SetBackgroundColour(GetLabelBackgroundColour());
    attr->SetTextColour(GetLabelTextColour());
    SetColAttr(column, attr);
}

int ZelvoGridCtrl::FocusedRow() const {
    if (!m_cursorFree) return -1;
    const int row = GetGridCursorRow();
    return GridRows::IsDataRow(row, GetNumberRows()) ? row : -1;
}

int ZelvoGridCtrl::FocusedColumn() const {
    if (FocusedRow() < 0) return -1;
    const int column = GetGridCursorCol();
    return column >= 0 && column < GetNumberCols() ? column : -1;
}

void ZelvoGridCtrl::FocusRow(int row, int column) {
    ClearSelection();
    if (!GridRows::IsDataRow(row, GetNumberRows()) || GetNumberCols() == 0) {
        // wxGrid keeps a cursor cell once it had one; "no focus" is its
        // empty cell coordinates.
        m_currentCellCoords = wxGridNoCellCoords;
        m_cursorFree = false;
        Refresh();
        return;
    }
    m_cursorFree = true;
    SetGridCursor(row, std::clamp(column, 0, GetNumberCols() - 1));
    SelectRow(row);
    MakeCellVisible(row, GetGridCursorCol());
}

int ZelvoGridCtrl::InsertRow(int before) {
    const int row = GridRows::IsDataRow(before, GetNumberRows()) ? before : GetNumberRows();
    InsertRows(row, 1);
    FocusRow(row, std::max(GetGridCursorCol(), 0));
    return row;
}

int ZelvoGridCtrl::DeleteRow(int row) {
    if (!GridRows::IsDataRow(row, GetNumberRows())) return -1;
    const int column = std::max(GetGridCursorCol(), 0);
    DeleteRows(row, 1);
    const int focus = GridRows::FocusAfterDelete(row, GetNumberRows());
    FocusRow(focus, column);
    return focus;
}

void ZelvoGridCtrl::FillWidth() {
    const int columns = GetNumberCols();
    if (columns == 0) return;
    const int width = GetGridWindow() ? GetGridWindow()->GetClientSize().x : GetClientSize().x;
    const int share = std::max(width / columns, 1);
    // The last column takes what division leaves over.
    for (int c = 0; c < columns; ++c) SetColSize(c, c + 1 < columns ? share : std::max(width - share * c, 1));
}

void ZelvoGridCtrl::Invalidate() {
    ForceRefresh();
}

void ZelvoGridCtrl::OnSize(wxSizeEvent& event) {
    event.Skip();
    // After wxGrid has placed its windows for the new size.
    CallAfter([this] { FillWidth(); });
}

void ZelvoGridCtrl::OnCellChanged(wxGridEvent& event) {
    event.Skip();
    ZelvoGridEvent ended(EVT_ZELVO_GRID_EDIT_END, GetId(), event.GetRow(), event.GetCol());
    ended.SetEventObject(this);
    ProcessWindowEvent(ended);
}

void ZelvoGridCtrl::OnCharHook(wxKeyEvent& event) {
    // A dialog turns Escape into its Cancel button before the cell editor
    // sees the key; while a cell is being edited Escape only ends the edit,
    // with the cell's text as it was.
    if (event.GetKeyCode() != WXK_ESCAPE || !IsCellEditControlShown()) {
        event.Skip();
        return;
    }
    wxGridCellEditor* editor = GetCellEditor(GetGridCursorRow(), GetGridCursorCol());
    editor->Reset();
    editor->DecRef();
    DisableCellEditControl();
}

void ZelvoGridCtrl::OnUserMove(wxEvent& event) {
    event.Skip();
    const bool wasFree = std::exchange(m_cursorFree, true);
    // A click on the cell wxGrid placed its cursor on by itself moves
    // nothing, so wxGrid reports no change: the focus is new all the same.
    auto* click = dynamic_cast<wxGridEvent*>(&event);
    if (wasFree || !click || click->GetRow() != GetGridCursorRow() || click->GetCol() != GetGridCursorCol())
        return;
    ZelvoGridEvent selection(EVT_ZELVO_GRID_SELECTION, GetId(), click->GetRow(), click->GetCol());
    selection.SetEventObject(this);
    ProcessWindowEvent(selection);
}

void ZelvoGridCtrl::OnSelectCell(wxGridEvent& event) {
    if (!m_cursorFree) {
        event.Veto();
        return;
    }
    event.Skip();
    ZelvoGridEvent selection(EVT_ZELVO_GRID_SELECTION, GetId(), event.GetRow(), event.GetCol());
    selection.SetEventObject(this);
    ProcessWindowEvent(selection);
}
