// The grid the list editors edit in, on a real wxGrid under Xvfb: rows
// counted from 0 past the header, inserted and deleted rows and the focus,
// the two notifications, and columns that fill the width.

#include <chrono>
#include <vector>

#include <gtest/gtest.h>
#include <wx/frame.h>

#include "GridTyping.h"
#include "GuiPump.h"

using namespace std::chrono_literals;

namespace {

class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, "grid", wxDefaultPosition, wxSize(400, 300));
        grid = new ZelvoGridCtrl(frame, 10, wxRect(0, 0, 300, 200));
        grid->SetColumnCount(2);
        grid->SetRowCount(3);
        for (int row = 0; row < 3; ++row) grid->SetText(row, 0, wxString::Format("r%d", row));
        grid->Bind(EVT_ZELVO_GRID_EDIT_END, [this](ZelvoGridEvent& e) { edits.push_back(e); });
        grid->Bind(EVT_ZELVO_GRID_SELECTION, [this](ZelvoGridEvent& e) { selections.push_back(e); });
        frame->Show();
        PumpFor(50ms);
    }
    void TearDown() override { frame->Destroy(); }

    std::vector<wxString> Column0() const {
        std::vector<wxString> texts;
        for (int row = 0; row < grid->RowCount(); ++row) texts.push_back(grid->Text(row, 0));
        return texts;
    }

    wxFrame* frame = nullptr;
    ZelvoGridCtrl* grid = nullptr;
    std::vector<ZelvoGridEvent> edits;
    std::vector<ZelvoGridEvent> selections;
};

}  // namespace

TEST_F(GridTest, InsertedAndDeletedRowsMoveTheFocusToTheirPlace) {
    grid->SetFocus();
    PumpFor(30ms);
    EXPECT_EQ(grid->FocusedRow(), -1);  // none until one is given
    EXPECT_TRUE(selections.empty());
    EXPECT_EQ(grid->InsertRow(1), 1);
    EXPECT_EQ(grid->InsertRow(99), 4);  // past the end: at the end, like no row
    EXPECT_EQ(Column0(), (std::vector<wxString>{"r0", "", "r1", "r2", ""}));
    EXPECT_EQ(grid->FocusedRow(), 4);
    EXPECT_TRUE(grid->IsInSelection(4, 0));
    EXPECT_EQ(grid->DeleteRow(5), -1);
    EXPECT_EQ(grid->DeleteRow(4), 3);  // the last row: the new last row
    EXPECT_EQ(grid->DeleteRow(1), 1);  // the row that took its place
    EXPECT_EQ(Column0(), (std::vector<wxString>{"r0", "r1", "r2"}));
    EXPECT_TRUE(grid->IsInSelection(1, 0));
    for (int row = 2; row >= 0; --row) grid->DeleteRow(row);
    EXPECT_EQ(grid->FocusedRow(), -1);  // none remain
}

TEST_F(GridTest, EditsAndFocusMovesAreReportedWithTheirCell) {
    grid->FocusRow(2, 1);
    ASSERT_FALSE(selections.empty());
    EXPECT_EQ(selections.back().Row(), 2);
    EXPECT_EQ(selections.back().Column(), 1);
    EXPECT_EQ(grid->FocusedColumn(), 1);
    TypeIntoCell(*grid, 1, 1, "typed");
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].GetId(), 10);
    EXPECT_EQ(edits[0].Row(), 1);
    EXPECT_EQ(edits[0].Column(), 1);
    EXPECT_EQ(grid->Text(1, 1), "typed");  // the text is in when it is reported
}

TEST_F(GridTest, AFixedColumnCannotBeEditedAndTheHeaderRowIsTheLabelRow) {
    EXPECT_EQ(grid->GetColLabelSize(), 0);  // no header row: labels hidden
    EXPECT_EQ(grid->GetRowLabelSize(), 0);
    grid->SetFixedRowCount(1);
    grid->SetHeaderText(0, "Note");
    EXPECT_GT(grid->GetColLabelSize(), 0);
    EXPECT_EQ(grid->GetColLabelValue(0), "Note");
    EXPECT_EQ(grid->RowCount(), 3);  // the header is not a data row
    grid->SetColumnFixed(0);
    grid->FocusRow(1, 0);
    EXPECT_FALSE(grid->CanEnableCellControl());
    EXPECT_FALSE(grid->IsReadOnly(1, 1));
}

TEST_F(GridTest, ColumnsFillTheWidthAndFollowResizes) {
    for (int width : {300, 451}) {
        SCOPED_TRACE(width);
        grid->SetSize(width, 200);
        PumpFor(30ms);
        const int inner = grid->GetGridWindow()->GetClientSize().x;
        EXPECT_EQ(grid->GetColSize(0) + grid->GetColSize(1), inner);
        EXPECT_LE(std::abs(grid->GetColSize(0) - grid->GetColSize(1)), 1);
    }
}
