// Where the grid puts a new row and which row has the focus after a delete.

#include <gtest/gtest.h>

#include "grid/logic/GridRows.h"

TEST(GridRows, NewRowsGoAfterTheFocusAndADeleteFocusesTheRowInItsPlace) {
    const struct {
        int focused, count, expected;
    } inserts[] = {
        {-1, 0, 0}, {-1, 3, 3}, {0, 3, 1}, {2, 3, 3}, {3, 3, 3},  // a stale focus past the end counts as none
        {-7, 2, 2},
    };
    for (const auto& c : inserts)
        EXPECT_EQ(GridRows::InsertPosition(c.focused, c.count), c.expected) << c.focused << " of " << c.count;
    const struct {
        int deleted, countAfter, expected;
    } deletes[] = {
        {0, 0, -1},  // the only row went
        {1, 2, 1},   // a middle row: the next moved up
        {2, 2, 1},   // the last row: the new last row
        {5, 2, 1},   // nothing past the end
    };
    for (const auto& c : deletes)
        EXPECT_EQ(GridRows::FocusAfterDelete(c.deleted, c.countAfter), c.expected) << c.deleted;
}
