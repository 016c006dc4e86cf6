#include "dialogs/logic/ListEditorRows.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "persistence/NumberText.h"
#include "tuning/NoteNames.h"

namespace ListEditorRows {

std::string OffsetText(float cents) {
    char text[64];
    std::snprintf(text, sizeof text, "%+3.1lf", static_cast<double>(cents));
    return text;
}

bool ShowsAsNegative(float cents) {
    return cents < 0.0f;
}

float ReadOffsetText(std::string_view text) {
    const double value = TextToDouble(text);
    if (!std::isfinite(value)) return 0.0f;
    const double limit = MaxOffsetCents;
    return NarrowToFloat(std::clamp(value, -limit, limit));
}

NoteSet NotesOfText(std::string_view text) {
    return ParseNoteList(text);
}

std::string NotesText(const NoteSet& notes) {
    return FormatNoteList(notes);
}

std::string OffsetRows<Temperament>::Name(int row) {
    return PitchClassNames[static_cast<std::size_t>(row)];
}

std::string OffsetRows<StretchTable>::Name(int row) {
    return FormatNoteName(NoteIndexMin + row, 0);
}

Preset NewPreset() {
    return Preset{"New Preset", {}};
}

Temperament NewTemperament() {
    Temperament record;
    record.name = "New Temperament";
    return record;
}

StretchTable NewStretchTable() {
    StretchTable record;
    record.name = "New Stretch";
    return record;
}

}  // namespace ListEditorRows
