#pragma once

#include <string>

#include "tuning/NoteIndex.h"
#include "units/Units.h"

// A pitch in cents above (or below) 440 Hz: 1200 * log2(f / 440). Stored as a
// 32-bit float; the logarithm is always taken in double precision.
using CentsRe440 = float;

// ln(f / 440) * 1200 / ln 2, in double. Callers that keep the value narrow it
// to CentsRe440. f <= 0 gives -inf or NaN, as the logarithm does.
double FrequencyToCents(double frequencyHz);

// The inverse: 440 * e^(cents / (1200 / ln 2)).
double CentsToFrequency(double cents);
