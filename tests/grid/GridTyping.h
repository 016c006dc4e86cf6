// Typing into a grid cell as the user does: the in-place editor opens,
// takes the text and closes.
#pragma once

#include <gtest/gtest.h>
#include <wx/textctrl.h>

#include "grid/ZelvoGridCtrl.h"

inline void TypeIntoCell(ZelvoGridCtrl& grid, int row, int column, const wxString& text) {
    grid.FocusRow(row, column);
    grid.EnableCellEditControl();
    ASSERT_TRUE(grid.IsCellEditControlShown());
    // GetCellEditor hands out a reference of its own.
    wxGridCellEditor* cellEditor = grid.GetCellEditor(row, column);
    auto* editor = dynamic_cast<wxTextCtrl*>(cellEditor->GetControl());
    cellEditor->DecRef();
    ASSERT_NE(editor, nullptr);
    editor->SetValue(text);
    grid.DisableCellEditControl();
}
