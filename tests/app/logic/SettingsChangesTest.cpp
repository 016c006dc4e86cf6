#include "app/logic/SettingsChanges.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// Settings with something in every list: two presets (the second selected),
// two temperaments (the first, with offsets, selected in the key of D) and
// two stretch tables (the first, with an offset, selected).
SettingsFiles Populated() {
    SettingsFiles s;
    s.presets.entries = {{"Guitar", ParseNoteList("E2,A2,D3,G3,B3,E4")},
                         {"Violin", ParseNoteList("G3,D4,A4,E5")}};
    s.presets.SelectedIndex = 1;
    s.temperaments.entries.resize(2);
    s.temperaments.entries[0].name = "Werckmeister";
    s.temperaments.entries[0].SetOffset(0, 5.9f);
    s.temperaments.entries[1].name = "Flat";
    s.temperaments.entries[1].SetOffset(4, -3.0f);
    s.temperaments.SelectedKey = 2;
    s.stretches.entries.resize(2);
    s.stretches.entries[0].name = "Upright";
    s.stretches.entries[0].SetOffset(96, 12.0f);
    s.stretches.entries[1].name = "Grand";
    return s;
}

std::string Describe(const SettingsChanges& c) {
    const std::pair<const char*, bool> flags[] = {{"noteTable", c.noteTable},
                                                  {"transposition", c.transposition},
                                                  {"calibration", c.calibration},
                                                  {"statusText", c.statusText},
                                                  {"presetMenu", c.presetMenu},
                                                  {"activePreset", c.activePreset},
                                                  {"presetChoice", c.presetChoice},
                                                  {"capture", c.capture},
                                                  {"noiseFloor", c.noiseFloor},
                                                  {"displayRate", c.displayRate},
                                                  {"centAccuracy", c.centAccuracy},
                                                  {"smoothing", c.smoothing},
                                                  {"alwaysOnTop", c.alwaysOnTop},
                                                  {"harmonicsWindow", c.harmonicsWindow},
                                                  {"harmonicsSelections", c.harmonicsSelections},
                                                  {"placement", c.placement},
                                                  {"any", c.any}};
    std::string text;
    for (const auto& [name, set] : flags) {
        if (set) text += std::string(text.empty() ? "" : " ") + name;
    }
    return text.empty() ? "(nothing)" : text;
}

}  // namespace

TEST(SettingsChanges, EachEditSetsExactlyTheWorkItNeeds) {
    using Edit = std::function<void(SettingsFiles&)>;
    const struct {
        const char* what;
        Edit edit;
        SettingsChanges expected;
        Edit start = {};  // puts the settings the edit starts from off the populated ones
    } cases[] = {
        {"nothing", [](SettingsFiles&) {}, {}},
        // Tuning reference.
        {"middle A",
         [](SettingsFiles& s) { s.config.MiddleA = 442.0f; },
         {.noteTable = true, .statusText = true, .any = true}},
        {"transposition",
         [](SettingsFiles& s) { s.config.Pitch = 2; },
         {.transposition = true, .statusText = true, .any = true}},
        {"other temperament",
         [](SettingsFiles& s) { s.temperaments.SelectedIndex = 1; },
         {.noteTable = true, .statusText = true, .any = true}},
        {"key",
         [](SettingsFiles& s) { s.temperaments.SelectedKey = 3; },
         {.noteTable = true, .statusText = true, .any = true}},
        // Keys outside 0..11 mean C: from 0 to 12 nothing sounds different.
        {"key out of range",
         [](SettingsFiles& s) { s.temperaments.SelectedKey = 0; },
         {.any = true},
         [](SettingsFiles& s) { s.temperaments.SelectedKey = 12; }},
        {"selected temperament's offset",
         [](SettingsFiles& s) { s.temperaments.entries[0].SetOffset(7, 2.0f); },
         {.noteTable = true, .any = true}},
        {"unselected temperament",
         [](SettingsFiles& s) { s.temperaments.entries[1].SetOffset(9, 1.0f); },
         {.any = true}},
        {"selected stretch renamed",
         [](SettingsFiles& s) { s.stretches.entries[0].name = "Spinet"; },
         {.statusText = true, .any = true}},
        {"stretch deselected",
         [](SettingsFiles& s) { s.stretches.SelectedIndex = 5; },
         {.noteTable = true, .statusText = true, .any = true}},
        {"calibration",
         [](SettingsFiles& s) { s.config.ExpectedFreq = 441.0f; },
         {.calibration = true, .any = true}},
        // Presets.
        {"preset chosen",
         [](SettingsFiles& s) { s.presets.SelectedIndex = 0; },
         {.activePreset = true, .presetChoice = true, .any = true}},
        {"unselected preset renamed",
         [](SettingsFiles& s) { s.presets.entries[0].name = "Bass"; },
         {.presetMenu = true, .any = true}},
        {"selected preset's notes",
         [](SettingsFiles& s) { s.presets.entries[1].notes = ParseNoteList("A4"); },
         {.activePreset = true, .any = true}},
        {"preset list emptied",
         [](SettingsFiles& s) { s.presets.entries.clear(); },
         {.presetMenu = true, .activePreset = true, .any = true}},
        // Both fall back to the default preset: only the stored index moves.
        {"invalid choice to invalid choice",
         [](SettingsFiles& s) { s.presets.SelectedIndex = 7; },
         {.presetChoice = true, .any = true},
         [](SettingsFiles& s) { s.presets.SelectedIndex = 5; }},
        // Capture.
        {"device", [](SettingsFiles& s) { s.config.Device = 1; }, {.capture = true, .any = true}},
        {"format", [](SettingsFiles& s) { s.config.Format = 0x400; }, {.capture = true, .any = true}},
        {"quality", [](SettingsFiles& s) { s.config.AnalysisQuality = 1; }, {.capture = true, .any = true}},
        {"noise floor",
         [](SettingsFiles& s) { s.config.NoiseFloor = -45.0f; },
         {.noiseFloor = true, .any = true}},
        // Display.
        {"rate", [](SettingsFiles& s) { s.config.Rate = 0; }, {.displayRate = true, .any = true}},
        {"cents label",
         [](SettingsFiles& s) { s.config.CentAccuracy = 1; },
         {.centAccuracy = true, .any = true}},
        {"smoothing", [](SettingsFiles& s) { s.config.Smooth = false; }, {.smoothing = true, .any = true}},
        {"on top", [](SettingsFiles& s) { s.config.AlwaysOnTop = true; }, {.alwaysOnTop = true, .any = true}},
        // Harmonics window and placement.
        {"harmonics opened",
         [](SettingsFiles& s) { s.config.HarmonicsVisible = true; },
         {.harmonicsWindow = true, .any = true}},
        {"harmonics moved",
         [](SettingsFiles& s) { s.config.HarmonicsPosBottom = 300; },
         {.harmonicsWindow = true, .any = true}},
        {"reference option",
         [](SettingsFiles& s) { s.config.ReferenceOption = 1003; },
         {.harmonicsSelections = true, .any = true}},
        {"cents span",
         [](SettingsFiles& s) { s.config.CentRange = 50.0f; },
         {.harmonicsSelections = true, .any = true}},
        {"window moved",
         [](SettingsFiles& s) { s.config.TunerPosTop = 40; },
         {.placement = true, .any = true}},
        {"energy smoothing", [](SettingsFiles& s) { s.config.EnergySmoothDuration = 0.1f; }, {.any = true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsFiles from = Populated();
        if (c.start) c.start(from);
        SettingsFiles to = from;
        c.edit(to);
        EXPECT_EQ(Describe(SettingsChanges::Between(from, to)), Describe(c.expected));
    }
}
