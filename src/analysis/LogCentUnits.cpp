#include <climits>
#include <cmath>
#include <mutex>

#include "analysis/FundamentalEstimation.h"
#include "units/Units.h"

namespace NoteAnalyzer {

int LogCentUnits(double x) {
    // Hundredths of a cent per natural-log unit.
    constexpr double UnitsPerLog = Units::CentsPerLogUnit * 100.0;
    const double v = std::trunc(std::log(x) * UnitsPerLog + 0.5);
    if (std::isnan(v)) return INT_MIN;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    return static_cast<int>(v);
}

namespace {

void BuildLogCentTables(LogCentTables& t) {
    // ln(0) would be -infinity; entry 0 is never read, so it is simply 0.
    t.harmonic[0] = 0;
    for (int k = 1; k <= LogCentTables::MaxHarmonic; ++k) t.harmonic[k] = LogCentUnits(k);
    for (int i = 0; i < LogCentTables::InharmonicitySteps; ++i) {
        const double b = i * LogCentTables::InharmonicityStep;
        t.partial[i][0] = 0;
        t.border[i][0] = 0;
        for (int k = 1; k <= LogCentTables::MaxHarmonic; ++k) {
            const double upper = k + 0.5;
            t.partial[i][k] = LogCentUnits(k * (1.0 + b * k * k));
            t.border[i][k] = LogCentUnits(upper * (1.0 + b * upper * upper));
        }
    }
    for (int j = 0; j < LogCentTables::GaussSize; ++j) {
        const double x = j / 128.0;
        t.gauss[j] = std::exp(-100.0 * x * x);
    }
}

}  // namespace

const LogCentTables& LogCentTables::Instance() {
    // Built on first use; call_once makes a second thread wait for the first.
    static LogCentTables tables;
    static std::once_flag built;
    std::call_once(built, [] { BuildLogCentTables(tables); });
    return tables;
}

}  // namespace NoteAnalyzer
