#pragma once
// What the main window hands to its panes after a display tick, and the
// wx-free arithmetic that produces it: the cents label with its rounding and
// sign rule, the needle and global values, the needle's fade and the texts of
// the two hidden text controls. The energy value is the level meter's
// position (Units::MeterPositionFromDb).

#include <cstdint>
#include <string>

// Values for the panes. The window forwards only the groups marked present;
// each pane repaints only when a value differs from what it last drew.
struct DisplayValues {
    // Fine and global indicator: present when the held note has a pitched
    // newest result that lies within the tuner's range.
    bool hasReading = false;
    float deviation = 0.0f;    // fine needle, clamp(cents / 50, -1, 1)
    std::string noteLabel;     // transposed note name, e.g. "A4"
    std::string centsLabel;    // "+03.3" / "+03" / "" by CentAccuracy
    float globalValue = 0.0f;  // cents above 440 Hz, uncorrected by MiddleA
    // Energy indicator and fade: absent on a tick whose newest pitched result
    // fell out of range (the panes keep what they show).
    bool hasLevel = false;
    float energy = 0.0f;  // 0 at -60 dB .. 1 at 0 dB
    float fade = 1.0f;    // 0 fully bright .. 1 fully faded
};

// Values of the CentAccuracy setting.
inline constexpr int CentAccuracyTenths = 0;
inline constexpr int CentAccuracyWhole = 1;

// Rounds half away from zero: floor(v + 0.5) for v >= 0, ceil(v - 0.5) below.
double RoundHalfAwayFromZero(double v);

// "%s%d%d.%d" (tenths) or "%s%d%d" (whole cents) with the sign of the rounded
// value: 0.04 and -0.04 both give "+00.0". Other accuracies give "".
std::string FormatCentsLabel(float cents, int centAccuracy);

// clamp(cents / 50, -1, 1).
float NeedleDeviation(float cents);

// Needle fade at tick `now` for a note whose last result came at `lastTime`:
// clamp((now - 200 - lastTime) / 400, 0, 1), the difference taken in 32-bit
// signed arithmetic so that it stays right across the wrap of the tick count.
float FadeValue(std::uint32_t now, std::uint32_t lastTime);

// Texts of the hidden controls 200 and 201.
std::string NoteControlText(const std::string& noteName, float cents);  // "NOTE:%s,%3.1f"
std::string LevelControlText(float noiseFloor);                         // "LEVEL:%3.1f"
