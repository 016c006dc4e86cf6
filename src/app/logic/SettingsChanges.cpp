#include "app/logic/SettingsChanges.h"

#include "app/logic/TuningStatusText.h"

namespace {

// Two optional selections tune alike when both are absent or both hold the
// same offsets (their names only show in the status text).
template <typename T>
bool SameOffsets(const T* a, const T* b) {
    if (a == nullptr || b == nullptr) return a == b;
    return a->offsets == b->offsets;
}

bool SameNoteTableInputs(const SettingsFiles& a, const SettingsFiles& b) {
    return a.config.MiddleA == b.config.MiddleA &&
           SameOffsets(a.temperaments.Selected(), b.temperaments.Selected()) &&
           a.temperaments.EffectiveKey() == b.temperaments.EffectiveKey() &&
           SameOffsets(a.stretches.Selected(), b.stretches.Selected());
}

std::string StatusTextOf(const SettingsFiles& s) {
    return TuningStatusText(s.config.MiddleA, s.temperaments, s.stretches, s.config.Pitch);
}

bool SamePresetNames(const PresetList& a, const PresetList& b) {
    if (a.entries.size() != b.entries.size()) return false;
    for (std::size_t i = 0; i < a.entries.size(); ++i) {
        if (a.entries[i].name != b.entries[i].name) return false;
    }
    return true;
}

bool SameHarmonicsWindow(const ConfigRecord& a, const ConfigRecord& b) {
    return a.HarmonicsVisible == b.HarmonicsVisible && a.HarmonicsPosLeft == b.HarmonicsPosLeft &&
           a.HarmonicsPosTop == b.HarmonicsPosTop && a.HarmonicsPosRight == b.HarmonicsPosRight &&
           a.HarmonicsPosBottom == b.HarmonicsPosBottom;
}

bool SameHarmonicsSelections(const ConfigRecord& a, const ConfigRecord& b) {
    return a.CurrentHarmonicSelected == b.CurrentHarmonicSelected &&
           a.ReferenceHarmonicSelected == b.ReferenceHarmonicSelected &&
           a.ReferenceOption == b.ReferenceOption && a.AlwaysStore == b.AlwaysStore &&
           a.TimeRange == b.TimeRange && a.CentRange == b.CentRange;
}

bool SamePlacement(const ConfigRecord& a, const ConfigRecord& b) {
    return a.TunerPosLeft == b.TunerPosLeft && a.TunerPosTop == b.TunerPosTop &&
           a.TunerPosRight == b.TunerPosRight && a.TunerPosBottom == b.TunerPosBottom;
}

}  // namespace

SettingsChanges SettingsChanges::Between(const SettingsFiles& before, const SettingsFiles& after) {
    const ConfigRecord& a = before.config;
    const ConfigRecord& b = after.config;
    SettingsChanges c;

    c.noteTable = !SameNoteTableInputs(before, after);
    c.transposition = a.Pitch != b.Pitch;
    c.calibration = a.KnownFreq != b.KnownFreq || a.ExpectedFreq != b.ExpectedFreq;
    c.statusText = StatusTextOf(before) != StatusTextOf(after);

    // The default preset stands in for an invalid selection on both sides.
    const Preset fallback = DefaultPreset();
    c.presetMenu = !SamePresetNames(before.presets, after.presets);
    c.activePreset = ActivePreset(before.presets, fallback) != ActivePreset(after.presets, fallback);
    c.presetChoice = before.presets.SelectedIndex != after.presets.SelectedIndex;

    c.capture = a.Device != b.Device || a.Format != b.Format || a.AnalysisQuality != b.AnalysisQuality ||
                a.PrecisePitch != b.PrecisePitch;
    c.noiseFloor = a.NoiseFloor != b.NoiseFloor;

    c.displayRate = a.Rate != b.Rate;
    c.centAccuracy = a.CentAccuracy != b.CentAccuracy;
    c.smoothing = a.Smooth != b.Smooth;
    c.alwaysOnTop = a.AlwaysOnTop != b.AlwaysOnTop;

    c.harmonicsWindow = !SameHarmonicsWindow(a, b);
    c.harmonicsSelections = !SameHarmonicsSelections(a, b);
    c.placement = !SamePlacement(a, b);

    c.any = !(before == after);
    return c;
}
