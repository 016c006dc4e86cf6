#include "OutputFormat.h"

#include <cmath>
#include <cstdio>

#include "tuning/NoteNames.h"
#include "units/Units.h"

namespace ZelvoAnalyze {

std::string FormatFixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    // A value that rounds to zero from below prints as "-0.00": drop the sign.
    std::string result = text;
    if (result[0] == '-' && result.find_first_not_of("-0.") == std::string::npos) result.erase(0, 1);
    return result;
}

// Cents as printed, or "-" for a runaway value that no setting in range can
// produce (the same guard as the window's cents label).
std::string FormatCents(double cents) {
    return Units::IsShowableCents(cents) ? FormatFixed(cents, 2) : std::string("-");
}

std::string FormatHopLine(const HopReading& r) {
    std::string line = FormatFixed(r.endTime, 3) + '\t';
    line += r.frequency == -1.0 ? std::string("-1") : FormatFixed(r.frequency, 3);
    line += '\t';
    if (r.HasNote()) {
        line += FormatNoteName(r.note, 0) + '\t' + FormatCents(r.cents);
    } else {
        line += "-\t-";
    }
    line += '\t' + FormatFixed(r.level, 1);
    return line;
}

std::string FormatPartialLine(double endTime, int harmonic, double frequency, double amplitude,
                              double fundamental) {
    std::string line =
        FormatFixed(endTime, 3) + '\t' + std::to_string(harmonic) + '\t' + FormatFixed(frequency, 3) + '\t';
    line += amplitude > 0.0 ? FormatFixed(20.0 * std::log10(amplitude), 1) : std::string("-");
    line += '\t';
    // Logarithms in double precision, as for every pitch of the program.
    const bool pitched = harmonic > 0 && fundamental > 0.0 && frequency > 0.0;
    line += pitched ? FormatCents(1731.23404907 * std::log(frequency / harmonic / fundamental))
                    : std::string("-");
    return line;
}

std::string FormatNoteLine(const NoteSpan& span) {
    return FormatNoteName(span.note, 0) + '\t' + FormatFixed(span.start, 3) + '\t' +
           FormatFixed(span.end, 3) + '\t' + FormatCents(span.medianCents) + '\t' + std::to_string(span.hops);
}

}  // namespace ZelvoAnalyze
