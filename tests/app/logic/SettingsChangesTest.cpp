#include "app/logic/SettingsChanges.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// Something in every list: two presets (the second selected), two
// temperaments (the first, with an offset, selected in the key of D), two
// stretch tables (the first, with an offset, selected).
SettingsFiles Populated() {
    SettingsFiles s;
    s.presets.entries = {{"Guitar", ParseNoteList("E2,A2")}, {"Violin", ParseNoteList("G3,D4,A4,E5")}};
    s.presets.SelectedIndex = 1;
    s.temperaments.entries.resize(2);
    s.temperaments.entries[0].name = "Werckmeister";
    s.temperaments.entries[0].SetOffset(0, 5.9f);
    s.temperaments.SelectedKey = 2;
    s.stretches.entries.resize(2);
    s.stretches.entries[0].name = "Upright";
    s.stretches.entries[0].SetOffset(96, 12.0f);
    return s;
}

// The names of the flags that are set, "any" last.
std::string Names(const SettingsChanges& c) {
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
    std::string names;
    for (const auto& [name, set] : flags) names += set ? std::string(names.empty() ? "" : " ") + name : "";
    return names;
}

using Edit = std::function<void(SettingsFiles&)>;

}  // namespace

TEST(SettingsChanges, EachEditSetsExactlyTheWorkItNeeds) {
    const struct {
        const char* what;
        Edit edit;
        const char* expected;  // besides "any"
        Edit start = {};       // changes the populated settings the edit starts from
    } cases[] = {
        {"middle A", [](SettingsFiles& s) { s.config.MiddleA = 442.0f; }, "noteTable statusText"},
        {"transposition", [](SettingsFiles& s) { s.config.Pitch = 2; }, "transposition statusText"},
        {"no temperament", [](SettingsFiles& s) { s.temperaments.SelectedIndex = 1; },
         "noteTable statusText"},
        {"key", [](SettingsFiles& s) { s.temperaments.SelectedKey = 3; }, "noteTable statusText"},
        // Keys outside 0..11 mean C: from 12 to 0 nothing sounds or reads differently.
        {"key 12 to 0", [](SettingsFiles& s) { s.temperaments.SelectedKey = 0; }, "",
         [](SettingsFiles& s) { s.temperaments.SelectedKey = 12; }},
        {"selected offset", [](SettingsFiles& s) { s.temperaments.entries[0].SetOffset(7, 2.0f); },
         "noteTable"},
        {"unselected entry", [](SettingsFiles& s) { s.temperaments.entries[1].SetOffset(9, 1.0f); }, ""},
        {"selected stretch renamed", [](SettingsFiles& s) { s.stretches.entries[0].name = "Spinet"; },
         "statusText"},
        {"stretch deselected", [](SettingsFiles& s) { s.stretches.SelectedIndex = 5; },
         "noteTable statusText"},
        {"calibration", [](SettingsFiles& s) { s.config.ExpectedFreq = 441.0f; }, "calibration"},
        {"preset chosen", [](SettingsFiles& s) { s.presets.SelectedIndex = 0; }, "activePreset presetChoice"},
        {"other preset renamed", [](SettingsFiles& s) { s.presets.entries[0].name = "Bass"; }, "presetMenu"},
        {"active preset's notes", [](SettingsFiles& s) { s.presets.entries[1].notes = {69}; },
         "activePreset"},
        {"presets emptied", [](SettingsFiles& s) { s.presets.entries.clear(); }, "presetMenu activePreset"},
        // Both indices fall back to the default preset: only the stored index moves.
        {"invalid choice to invalid choice", [](SettingsFiles& s) { s.presets.SelectedIndex = 7; },
         "presetChoice", [](SettingsFiles& s) { s.presets.SelectedIndex = 5; }},
        {"device", [](SettingsFiles& s) { s.config.Device = 1; }, "capture"},
        {"format", [](SettingsFiles& s) { s.config.Format = 0x400; }, "capture"},
        {"quality", [](SettingsFiles& s) { s.config.AnalysisQuality = 1; }, "capture"},
        {"precise pitch", [](SettingsFiles& s) { s.config.PrecisePitch = false; }, "capture"},
        {"noise floor", [](SettingsFiles& s) { s.config.NoiseFloor = -45.0f; }, "noiseFloor"},
        {"rate", [](SettingsFiles& s) { s.config.Rate = 0; }, "displayRate"},
        {"cents label", [](SettingsFiles& s) { s.config.CentAccuracy = 1; }, "centAccuracy"},
        {"smoothing", [](SettingsFiles& s) { s.config.Smooth = false; }, "smoothing"},
        {"on top", [](SettingsFiles& s) { s.config.AlwaysOnTop = true; }, "alwaysOnTop"},
        {"harmonics opened", [](SettingsFiles& s) { s.config.HarmonicsVisible = true; }, "harmonicsWindow"},
        {"harmonics moved", [](SettingsFiles& s) { s.config.HarmonicsPosBottom = 300; }, "harmonicsWindow"},
        {"reference option", [](SettingsFiles& s) { s.config.ReferenceOption = 1003; },
         "harmonicsSelections"},
        {"cents span", [](SettingsFiles& s) { s.config.CentRange = 50.0f; }, "harmonicsSelections"},
        {"window moved", [](SettingsFiles& s) { s.config.TunerPosTop = 40; }, "placement"},
        {"energy smoothing", [](SettingsFiles& s) { s.config.EnergySmoothDuration = 0.1f; }, ""},
    };
    EXPECT_EQ(Names(SettingsChanges::Between(Populated(), Populated())), "");
    for (const auto& c : cases) {
        SettingsFiles from = Populated();
        if (c.start) c.start(from);
        SettingsFiles to = from;
        c.edit(to);
        EXPECT_EQ(Names(SettingsChanges::Between(from, to)),
                  std::string(c.expected) + (*c.expected ? " any" : "any"))
            << c.what;
    }
}
