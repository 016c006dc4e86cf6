#include "persistence/ConfigRecord.h"

#include <cmath>

namespace {

// Each helper resets one field and reports whether it did.
bool FallBack(std::int32_t& value, std::int32_t fallback, bool valid) {
    if (valid) return false;
    value = fallback;
    return true;
}

bool FallBackFloat(float& value, float fallback, bool inRange) {
    if (std::isfinite(value) && inRange) return false;
    value = fallback;
    return true;
}

bool IsHarmonicSelection(std::int32_t h) {
    return h == -1 || (h >= 1 && h <= Units::MaxHarmonic);
}

}  // namespace

bool ApplyConfigFallbacks(ConfigRecord& c) {
    const ConfigRecord d;
    bool changed = false;
    changed |= FallBack(c.Rate, d.Rate, c.Rate >= 0 && c.Rate <= 2);
    changed |= FallBack(c.Pitch, d.Pitch, c.Pitch >= 0 && c.Pitch <= 11);
    changed |=
        FallBack(c.AnalysisQuality, d.AnalysisQuality, c.AnalysisQuality == 0 || c.AnalysisQuality == 1);
    changed |= FallBack(c.CentAccuracy, d.CentAccuracy, c.CentAccuracy == 0 || c.CentAccuracy == 1);
    changed |= FallBack(c.ReferenceOption, d.ReferenceOption,
                        (c.ReferenceOption >= 0 && c.ReferenceOption <= 96) ||
                            (c.ReferenceOption >= 1001 && c.ReferenceOption <= 1008));
    changed |= FallBack(c.CurrentHarmonicSelected, d.CurrentHarmonicSelected,
                        IsHarmonicSelection(c.CurrentHarmonicSelected));
    changed |= FallBack(c.ReferenceHarmonicSelected, d.ReferenceHarmonicSelected,
                        IsHarmonicSelection(c.ReferenceHarmonicSelected));

    changed |= FallBackFloat(c.MiddleA, d.MiddleA, Units::IsMiddleAInRange(c.MiddleA));
    changed |= FallBackFloat(c.NoiseFloor, d.NoiseFloor, Units::IsNoiseFloorInRange(c.NoiseFloor));
    changed |=
        FallBackFloat(c.TimeRange, d.TimeRange,
                      c.TimeRange >= Units::MinTimeRangeSeconds && c.TimeRange <= Units::MaxTimeRangeSeconds);
    changed |= FallBackFloat(c.CentRange, d.CentRange, c.CentRange >= 1.0f);
    // No range of their own: the calibration rule ignores values <= 1.0.
    changed |= FallBackFloat(c.KnownFreq, d.KnownFreq, true);
    changed |= FallBackFloat(c.ExpectedFreq, d.ExpectedFreq, true);
    changed |= FallBackFloat(c.EnergySmoothDuration, d.EnergySmoothDuration, true);
    return changed;
}
