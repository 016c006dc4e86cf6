#pragma once
// "Edit Note Presets": the presets in a grid of names and note lists. The
// notes cell shows what the tuner made of the typed text as soon as editing
// ends.

#include "dialogs/ListEditorDialog.h"
#include "dialogs/logic/ListEditorModel.h"
#include "tuning/Preset.h"

class ZelvoGridCtrl;
class ZelvoGridEvent;

class CPresetDialogEx : public CListEditorDialog<PresetList> {
public:
    enum ControlId { DialogId = 183, NewId = 3, DeleteId = 1054, UpId = 1047, DownId = 1048, SaveId = 1053 };
    enum GridId { ListGridId = 10 };
    enum Column { NameColumn = 0, NotesColumn = 1 };

    CPresetDialogEx(wxWindow* parent, const PresetList& list);

    ZelvoGridCtrl* ListGrid() const { return m_list; }
    const ListEditorModel<Preset>& Model() const { return m_model; }

protected:
    void OnNew() override;
    void OnDelete() override;
    void OnUp() override;
    void OnDown() override;
    bool IsModified() const override { return m_model.Modified(); }
    void StoreEdits(PresetList& list) const override;

private:
    void ShowRow(int row);
    void OnEditEnd(ZelvoGridEvent& event);

    ListEditorModel<Preset> m_model;
    ZelvoGridCtrl* m_list = nullptr;
};
