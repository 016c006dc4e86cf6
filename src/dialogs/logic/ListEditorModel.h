#pragma once
// The rows a list editor edits: a private copy of the list's entries, the
// row whose offsets are shown (-1 none) and whether anything was changed.
// Every operation that touches the entries marks the copy modified, even
// when the result equals what was there before; positions that do not name
// a row are ignored.

#include <cstddef>
#include <utility>
#include <vector>

#include "grid/logic/GridRows.h"

template <class Record>
class ListEditorModel {
public:
    explicit ListEditorModel(std::vector<Record> records, int selected = -1) : m_records(std::move(records)) {
        Select(selected);
    }

    const std::vector<Record>& Records() const { return m_records; }
    int Count() const { return static_cast<int>(m_records.size()); }
    bool Modified() const { return m_modified; }

    // The selected row, -1 when none.
    int Selected() const { return m_selected; }
    const Record* SelectedRecord() const { return m_selected < 0 ? nullptr : &m_records[Index(m_selected)]; }
    // Selects `row`, or nothing when it is not a row.
    void Select(int row) { m_selected = GridRows::IsDataRow(row, Count()) ? row : -1; }

    // Puts `record` just after `focusedRow` (at the end when that is not a
    // row) and selects it. Returns its row.
    int Insert(int focusedRow, Record record) {
        const int row = GridRows::InsertPosition(focusedRow, Count());
        m_records.insert(m_records.begin() + row, std::move(record));
        m_modified = true;
        m_selected = row;
        return row;
    }

    // Removes `row`; the row that takes its place (or the new last row)
    // becomes selected. False when `row` is not a row.
    bool Remove(int row) {
        if (!GridRows::IsDataRow(row, Count())) return false;
        m_records.erase(m_records.begin() + row);
        m_modified = true;
        m_selected = GridRows::FocusAfterDelete(row, Count());
        return true;
    }

    // Swaps `row` with the row above (below); the moved record stays
    // selected at its new row. False at the top (bottom) or off the list.
    bool MoveUp(int row) { return Swap(row, row - 1); }
    bool MoveDown(int row) { return Swap(row, row + 1); }

    // The record at `row` for changing; marks the copy modified. `row` must
    // be a row.
    Record& Change(int row) {
        m_modified = true;
        return m_records[Index(row)];
    }

private:
    static std::size_t Index(int row) { return static_cast<std::size_t>(row); }

    bool Swap(int row, int other) {
        if (!GridRows::IsDataRow(row, Count()) || !GridRows::IsDataRow(other, Count())) return false;
        std::swap(m_records[Index(row)], m_records[Index(other)]);
        m_modified = true;
        m_selected = other;
        return true;
    }

    std::vector<Record> m_records;
    int m_selected = -1;
    bool m_modified = false;
};
