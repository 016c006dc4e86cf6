// The text the tool prints: hop lines and note lines.
#pragma once

#include <string>

#include "HopReading.h"
#include "NoteSummary.h"

namespace ZelvoAnalyze {

// "0.186\t440.012\tA4\t0.05\t-6.0": end time, frequency (-1 when none), note
// ("-" when none), cents ("-" when none), level.
std::string FormatHopLine(const HopReading& reading);

// "A4\t0.163\t2.000\t0.02\t79": note, start, end, median cents, hop count.
std::string FormatNoteLine(const NoteSpan& span);

// "0.186\t3\t661.204\t-12.3\t0.43": end time, harmonic number k, its
// frequency, its level in dB ("-" for no amplitude), and the compressed
// pitch: frequency / k in cents from the fundamental (positive when the
// partial lies sharp of k times the fundamental).
std::string FormatPartialLine(double endTime, int harmonic, double frequency, double amplitude,
                              double fundamental);

// Fixed-point text with the given decimals that never shows "-0.00".
std::string FormatFixed(double value, int decimals);

// Cents with two decimals; "-" when not Units::IsShowableCents.
std::string FormatCents(double cents);

}  // namespace ZelvoAnalyze
