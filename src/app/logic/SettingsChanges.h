#pragma once
// What differs between two whole settings objects (the configuration and the
// three lists), sorted by the work each kind of change asks of the main
// window. The window compares the settings it holds with the new ones and
// does only the work whose flag is set.

#include "persistence/SettingsFiles.h"

struct SettingsChanges {
    // Tuning reference.
    bool noteTable = false;      // MiddleA, the selected temperament or its key, the selected
                                 // stretch table: the note table is rebuilt
    bool transposition = false;  // Pitch: the letters shown for each note
    bool calibration = false;    // KnownFreq, ExpectedFreq: applies to the next results
    bool statusText = false;     // the tuning text of the status bar reads differently

    // Note presets.
    bool presetMenu = false;    // the names or the number of presets: the submenu is rebuilt
    bool activePreset = false;  // the preset the note ladder shows (selection or its entry)
    bool presetChoice = false;  // SelectedIndex, even when the active preset stays the same

    // Capture.
    bool capture = false;     // Device, Format, AnalysisQuality, PrecisePitch: recording is restarted
    bool noiseFloor = false;  // NoiseFloor: the running analysis gate and the energy marker

    // Display.
    bool displayRate = false;
    bool centAccuracy = false;
    bool smoothing = false;
    bool alwaysOnTop = false;

    // Harmonics window.
    bool harmonicsWindow = false;      // open or closed, and its rectangle
    bool harmonicsSelections = false;  // harmonics, reference option, store rule, spans

    // The main window's rectangle.
    bool placement = false;

    // Anything differs at all, including what needs no work (list entries
    // that are not selected, EnergySmoothDuration).
    bool any = false;

    // The changes that turn `before` into `after`.
    static SettingsChanges Between(const SettingsFiles& before, const SettingsFiles& after);

    bool TuningReference() const { return noteTable || transposition || calibration; }
    bool Presets() const { return presetMenu || activePreset || presetChoice; }
    bool Display() const { return displayRate || centAccuracy || smoothing || alwaysOnTop; }
    bool Harmonics() const { return harmonicsWindow || harmonicsSelections; }

    bool operator==(const SettingsChanges&) const = default;
};
