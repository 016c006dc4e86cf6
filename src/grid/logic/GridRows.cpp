#include "grid/logic/GridRows.h"

#include <algorithm>

namespace GridRows {

int InsertPosition(int focusedRow, int count) {
    return IsDataRow(focusedRow, count) ? focusedRow + 1 : count;
}

int FocusAfterDelete(int deleted, int countAfter) {
    if (countAfter <= 0) return -1;
    return std::clamp(deleted, 0, countAfter - 1);
}

}  // namespace GridRows
