#pragma once

#include <string>

#include "tuning/Temperament.h"

// The one-line description of the tuning reference for the status bar:
// "A4: 440.000", then ", TMRP: <name> in <key>" for a selected temperament
// with a non-zero offset, ", STRCH: <name>" for a selected stretch table with
// a non-zero offset, and ", TRANS: %+d" for a non-zero transposition.
std::string TuningStatusText(float middleAHz, const TemperamentList& temperaments,
                             const StretchList& stretches, int transpose);
