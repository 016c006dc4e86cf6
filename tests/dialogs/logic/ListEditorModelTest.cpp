// The editors' private copy of a list: New, Delete, Up, Down, the selection
// and the modified flag, on a list of plain names.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dialogs/logic/ListEditorModel.h"

namespace {

using Names = std::vector<std::string>;
using Model = ListEditorModel<std::string>;

}  // namespace

TEST(ListEditorModel, StartsUnmodifiedWithTheSelectionOnlyWhenItNamesARow) {
    EXPECT_EQ(Model({"a", "b"}, 1).Selected(), 1);
    EXPECT_EQ(*Model({"a", "b"}, 1).SelectedRecord(), "b");
    for (int stale : {-1, 2, 99}) {
        Model model({"a", "b"}, stale);
        EXPECT_EQ(model.Selected(), -1) << stale;
        EXPECT_EQ(model.SelectedRecord(), nullptr);
    }
    EXPECT_FALSE(Model({"a"}).Modified());
}

TEST(ListEditorModel, InsertGoesAfterTheFocusedRowAndSelectsTheNewRecord) {
    const struct {
        int focused;
        Names expected;
        int row;
    } cases[] = {
        {-1, {"a", "b", "c", "new"}, 3},  // no focused row: appended
        {0, {"a", "new", "b", "c"}, 1},   // the first row focused: position 1
        {2, {"a", "b", "c", "new"}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.focused);
        Model model({"a", "b", "c"});
        EXPECT_EQ(model.Insert(c.focused, "new"), c.row);
        EXPECT_EQ(model.Records(), c.expected);
        EXPECT_EQ(model.Selected(), c.row);
        EXPECT_TRUE(model.Modified());
    }
}

TEST(ListEditorModel, RemoveSelectsTheRowThatTookItsPlaceAndIgnoresNonRows) {
    Model model({"a", "b", "c"}, 0);
    EXPECT_FALSE(model.Remove(-1));
    EXPECT_FALSE(model.Remove(3));
    EXPECT_FALSE(model.Modified());
    EXPECT_TRUE(model.Remove(1));
    EXPECT_EQ(model.Records(), (Names{"a", "c"}));
    EXPECT_EQ(model.Selected(), 1);
    EXPECT_TRUE(model.Remove(1));  // the last row: the new last row
    EXPECT_EQ(model.Selected(), 0);
    EXPECT_TRUE(model.Remove(0));  // the only row: nothing left to select
    EXPECT_EQ(model.Selected(), -1);
    EXPECT_TRUE(model.Records().empty());
}

TEST(ListEditorModel, UpAndDownSwapNeighboursAndDoNothingAtTheEnds) {
    const struct {
        const char* what;
        bool up;
        int row;
        bool moved;
        Names expected;
        int selected;
    } cases[] = {
        {"up from the middle", true, 1, true, {"b", "a", "c"}, 0},
        {"down from the middle", false, 1, true, {"a", "c", "b"}, 2},
        {"up on the first row", true, 0, false, {"a", "b", "c"}, -1},
        {"down on the last row", false, 2, false, {"a", "b", "c"}, -1},
        {"no focused row", true, -1, false, {"a", "b", "c"}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Model model({"a", "b", "c"});
        EXPECT_EQ(c.up ? model.MoveUp(c.row) : model.MoveDown(c.row), c.moved);
        EXPECT_EQ(model.Records(), c.expected);
        EXPECT_EQ(model.Selected(), c.selected);
        EXPECT_EQ(model.Modified(), c.moved);
    }
}

TEST(ListEditorModel, AChangeMarksModifiedEvenWhenItRestoresTheOldValue) {
    Model model({"a"});
    model.Change(0) = "b";
    model.Change(0) = "a";
    EXPECT_EQ(model.Records(), Names{"a"});
    EXPECT_TRUE(model.Modified());
}
