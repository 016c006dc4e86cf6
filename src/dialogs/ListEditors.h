#pragma once
// The three list editors as the main window and the tuning settings dialog
// open them: modal, on a copy of the list; the edited copy (entries and
// selection) after Save, nothing after Cancel.

#include <optional>

#include "tuning/Preset.h"
#include "tuning/Temperament.h"

class wxWindow;

std::optional<PresetList> EditNotePresets(wxWindow* parent, const PresetList& list);
std::optional<TemperamentList> EditTemperaments(wxWindow* parent, const TemperamentList& list);
std::optional<StretchList> EditStretchTables(wxWindow* parent, const StretchList& list);
