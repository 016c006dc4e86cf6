// The recording-device dialog's rules: the last detected frequency, its text
// and what OK takes back.

#include <gtest/gtest.h>

#include "dialogs/logic/RecordingDeviceRules.h"
#include "pipeline/NoteTrack.h"

using namespace RecordingDeviceRules;

TEST(RecordingDeviceRules, LastDetectedFrequencyIsTheNewestResultOfARealNote) {
    NoteTrack track;
    track.note = 69;
    EXPECT_EQ(LastDetectedFrequency(track), -1.0);  // no result yet
    for (double hz : {440.5, 441.27}) {
        NoteAnalyzer::AnalysisResult result;
        result.frequency = hz;
        track.results.Append(result);
    }
    EXPECT_EQ(LastDetectedFrequency(track), -1.0);  // only the seed the window opens with
    track.lastTimeSet = true;
    EXPECT_EQ(LastDetectedFrequency(track), 441.27);
    track.note = NoteIndexInvalid;
    EXPECT_EQ(LastDetectedFrequency(track), -1.0);

    for (const auto& [hz, text] : {std::pair{-1.0, "None"}, {0.0, "None"}, {27.5, "27.50"}}) {
        EXPECT_EQ(LastDetectedText(hz), text);
        EXPECT_EQ(CanCopyToObserved(hz), hz > 0) << hz;
    }
}

TEST(RecordingDeviceRules, OkTakesDeviceAndFormatTogetherAndReadsTheFrequencies) {
    const struct {
        const char* what;
        DeviceChoice choice;
        int device;
        int format;
        float known;
        float observed;
    } cases[] = {
        {"both selected", {2, 0x40u, "440", "441.27"}, 2, 0x40, 440.0f, 441.27f},
        {"preferred device", {-1, 0x4u, "440", "440"}, -1, 0x4, 440.0f, 440.0f},
        {"no format", {2, std::nullopt, "440", "440"}, 0, 0x400, 440.0f, 440.0f},
        {"no device", {std::nullopt, 0x40u, "440", "440"}, 0, 0x400, 440.0f, 440.0f},
        {"not numbers", {2, 0x40u, "abc", ""}, 2, 0x40, 0.0f, 0.0f},
        {"not finite", {2, 0x40u, "nan", "inf"}, 2, 0x40, 0.0f, 0.0f},
        {"no range check", {2, 0x40u, "-3", "100000"}, 2, 0x40, -3.0f, 100000.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigRecord config;
        config.Device = 0;
        config.Format = 0x400;
        TakeChoice(config, c.choice);
        EXPECT_EQ(config.Device, c.device);
        EXPECT_EQ(config.Format, c.format);
        EXPECT_EQ(config.KnownFreq, c.known);
        EXPECT_EQ(config.ExpectedFreq, c.observed);
    }
}
