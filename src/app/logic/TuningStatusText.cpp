#include "app/logic/TuningStatusText.h"

#include <cstdio>

#include "tuning/NoteNames.h"

std::string TuningStatusText(float middleAHz, const TemperamentList& temperaments,
                             const StretchList& stretches, int transpose) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "A4: %3.3lf", static_cast<double>(middleAHz));
    std::string text = buffer;

    // Names are user text of any length: appended, never formatted into a
    // fixed buffer.
    const Temperament* temperament = temperaments.Selected();
    if (temperament && temperament->HasNonZeroOffset()) {
        text += ", TMRP: ";
        text += temperament->name;
        text += " in ";
        text += PitchClassName(temperaments.SelectedKey);
    }

    const StretchTable* stretch = stretches.Selected();
    if (stretch && stretch->HasNonZeroOffset()) {
        text += ", STRCH: ";
        text += stretch->name;
    }

    if (transpose != 0) {
        std::snprintf(buffer, sizeof buffer, ", TRANS: %+d", transpose);
        text += buffer;
    }
    return text;
}
