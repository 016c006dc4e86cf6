#pragma once
// Whether a list the user is about to save would come back as it is when the
// tuner starts again. The list files are read with limits (entries per list,
// file size, length of a name or text) that keep a damaged file from costing
// much; an edited list beyond them would be cut short or lost on reading.
// Each check returns the text of a warning for the user, or "" when the list
// reads back unchanged.

#include <string>

#include "tuning/Preset.h"
#include "tuning/Temperament.h"

std::string ListSaveWarning(const PresetList& list);
std::string ListSaveWarning(const TemperamentList& list);
std::string ListSaveWarning(const StretchList& list);
