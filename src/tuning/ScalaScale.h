#pragma once
// Scala scale files (.scl) as twelve-note temperaments: reading a scale into
// a temperament (offsets from equal temperament in the key of C) and writing
// a temperament back as a scale.

#include <optional>
#include <string>
#include <string_view>

#include "tuning/Temperament.h"

// The outcome of reading a scale: a temperament, or the reason the text was
// refused, phrased for the user.
struct ScalaImportResult {
    std::optional<Temperament> temperament;
    std::string error;  // empty when temperament is set
};

// Reads the text of a .scl file. The description line becomes the name;
// the scale must hold twelve pitches per octave, the last one 2/1.
ScalaImportResult ParseScalaTemperament(std::string_view text);

// The text of a twelve-note .scl file for the temperament.
std::string FormatScalaTemperament(const Temperament& temperament);
