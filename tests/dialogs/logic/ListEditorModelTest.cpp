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

TEST(ListEditorModel, StartsUnmodifiedWithTheSelectionOnlyWhenItNamesARowAndAnyChangeModifies) {
    EXPECT_EQ(*Model({"a", "b"}, 1).SelectedRecord(), "b");
    for (int stale : {-1, 2}) {
        Model model({"a", "b"}, stale);
        EXPECT_EQ(model.Selected(), -1) << stale;
        EXPECT_EQ(model.SelectedRecord(), nullptr);
    }
    Model model({"a"});
    EXPECT_FALSE(model.Modified());
    model.Change(0) = "b";
    model.Change(0) = "a";  // a change that restores the old value still counts
    EXPECT_EQ(model.Records(), Names{"a"});
    EXPECT_TRUE(model.Modified());
}

TEST(ListEditorModel, EditsAroundTheFocusedRowSelectTheRecordTheyLeaveThere) {
    enum Op { Insert, Remove, Up, Down };
    const struct {
        const char* what;
        Op op;
        int row;
        bool done;
        Names expected;
        int selected;
    } cases[] = {
        {"insert, no focused row: appended", Insert, -1, true, {"a", "b", "c", "new"}, 3},
        {"insert after the first row", Insert, 0, true, {"a", "new", "b", "c"}, 1},
        {"remove a middle row: the next one", Remove, 1, true, {"a", "c"}, 1},
        {"remove the last row: the new last", Remove, 2, true, {"a", "b"}, 1},
        {"remove a non-row", Remove, 3, false, {"a", "b", "c"}, -1},
        {"up from the middle", Up, 1, true, {"b", "a", "c"}, 0},
        {"down from the middle", Down, 1, true, {"a", "c", "b"}, 2},
        {"up on the first row", Up, 0, false, {"a", "b", "c"}, -1},
        {"down on the last row", Down, 2, false, {"a", "b", "c"}, -1},
        {"up, no focused row", Up, -1, false, {"a", "b", "c"}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Model model({"a", "b", "c"});
        bool done = true;
        switch (c.op) {
            case Insert: EXPECT_EQ(model.Insert(c.row, "new"), c.selected); break;
            case Remove: done = model.Remove(c.row); break;
            case Up: done = model.MoveUp(c.row); break;
            case Down: done = model.MoveDown(c.row); break;
        }
        EXPECT_EQ(done, c.done);
        EXPECT_EQ(model.Records(), c.expected);
        EXPECT_EQ(model.Selected(), c.selected);
        EXPECT_EQ(model.Modified(), c.done);
    }
    Model only({"a"}, 0);
    EXPECT_TRUE(only.Remove(0));  // nothing left to select
    EXPECT_EQ(only.Selected(), -1);
}
