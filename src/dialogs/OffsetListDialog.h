#pragma once
// The temperament and stretch-table editors: the names in a list grid on the
// left, the selected record's offsets in a grid of notes and cents on the
// right. With no record selected the offsets grid is disabled and greyed.

#include <string>
#include <vector>

#include "dialogs/ListEditorDialog.h"
#include "dialogs/logic/ListEditorModel.h"
#include "tuning/Temperament.h"

class ZelvoGridCtrl;
class ZelvoGridEvent;

// The texts and ids one editor differs in.
struct OffsetEditorLayout {
    wxWindowID dialogId;
    const char* title;
    const char* instructions;
    const char* listCaption;
    ListEditorIds ids;
};

template <class List>
class COffsetListDialog : public CListEditorDialog<List> {
public:
    using Record = typename decltype(List::entries)::value_type;
    enum GridId { ListGridId = 10, OffsetsGridId = 11 };
    enum OffsetColumn { NoteColumn = 0, CentsColumn = 1 };

    ZelvoGridCtrl* ListGrid() const { return m_list; }
    ZelvoGridCtrl* OffsetsGrid() const { return m_offsets; }
    const ListEditorModel<Record>& Model() const { return m_model; }

protected:
    COffsetListDialog(wxWindow* parent, const List& list, const OffsetEditorLayout& layout);
    // Builds the controls; called by the subclass's constructor once its
    // extra buttons (children of this dialog, placed below Down) exist.
    void BuildLayout(const std::vector<wxButton*>& extraButtons);

    void OnNew() override;
    void OnDelete() override;
    void OnUp() override;
    void OnDown() override;
    bool IsModified() const override { return m_model.Modified(); }
    void StoreEdits(List& list) const override;

    // Inserts `record` as New inserts a new record, and selects it.
    void InsertRecord(Record record);
    virtual Record NewRecord() const = 0;

private:
    void FillOffsets();
    void ShowOffset(int row, float cents);
    void OnListEditEnd(ZelvoGridEvent& event);
    void OnListSelection(ZelvoGridEvent& event);
    void OnOffsetEditEnd(ZelvoGridEvent& event);

    OffsetEditorLayout m_layout;
    ListEditorModel<Record> m_model;
    ZelvoGridCtrl* m_list = nullptr;
    ZelvoGridCtrl* m_offsets = nullptr;
};

class CStretchDialog : public COffsetListDialog<StretchList> {
public:
    enum ControlId {
        DialogId = 199,
        NewId = 1108,
        DeleteId = 1109,
        UpId = 1110,
        DownId = 1111,
        SaveId = 1113
    };

    CStretchDialog(wxWindow* parent, const StretchList& list);

protected:
    StretchTable NewRecord() const override;
};
