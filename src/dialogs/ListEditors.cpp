#include "dialogs/ListEditors.h"

#include "dialogs/OffsetListDialog.h"
#include "dialogs/PresetDialog.h"
#include "dialogs/TemperamentDialog.h"

std::optional<PresetList> EditNotePresets(wxWindow* parent, const PresetList& list) {
    CPresetDialogEx dialog(parent, list);
    return dialog.Edit();
}

std::optional<TemperamentList> EditTemperaments(wxWindow* parent, const TemperamentList& list) {
    CTemperamentDialog dialog(parent, list);
    return dialog.Edit();
}

std::optional<StretchList> EditStretchTables(wxWindow* parent, const StretchList& list) {
    CStretchDialog dialog(parent, list);
    return dialog.Edit();
}
