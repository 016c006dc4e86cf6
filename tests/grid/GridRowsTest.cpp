// Where the grid puts a new row and which row has the focus after a delete.

#include <gtest/gtest.h>

#include "grid/logic/GridRows.h"

TEST(GridRows, ANewRowGoesAfterTheFocusedRowOrAtTheEnd) {
    const struct {
        int focused, count, expected;
    } cases[] = {
        {-1, 0, 0},             // empty grid, nothing focused
        {-1, 3, 3},             // nothing focused: appended
        {0, 3, 1},              // the first row focused: the new one is second
        {1, 3, 2},  {2, 3, 3},  // the last row focused: the new one is last
        {3, 3, 3},              // a stale focus past the end counts as none
        {-7, 2, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "focused " << c.focused << " of " << c.count);
        EXPECT_EQ(GridRows::InsertPosition(c.focused, c.count), c.expected);
    }
}

TEST(GridRows, AfterADeleteTheRowThatTookItsPlaceOrTheNewLastRowHasTheFocus) {
    const struct {
        int deleted, countAfter, expected;
    } cases[] = {
        {0, 0, -1},  // the only row went
        {0, 2, 0},   // the first of three: the old second row moved up
        {1, 2, 1},   // a middle row
        {2, 2, 1},   // the last row: the new last row
        {5, 2, 1},   // nothing past the end
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "deleted " << c.deleted << ", " << c.countAfter << " left");
        EXPECT_EQ(GridRows::FocusAfterDelete(c.deleted, c.countAfter), c.expected);
    }
}
