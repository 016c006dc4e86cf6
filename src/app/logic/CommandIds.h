#pragma once
// Command ids of the main window. They are the ids of the menu items and of
// the accelerators, and stay the same on every platform so that settings,
// tests and scripts can name them.

namespace CommandId {

inline constexpr int Exit = 141;
inline constexpr int About = 142;
inline constexpr int RecordingDevice = 143;
inline constexpr int RecordingControl = 165;
inline constexpr int PixelSmoothing = 169;
inline constexpr int DisplayRateSlow = 177;
inline constexpr int DisplayRateMedium = 178;
inline constexpr int DisplayRateFast = 179;
inline constexpr int HelpContents = 182;
inline constexpr int EditNotePresets = 219;
inline constexpr int HarmonicsGraph = 32784;
inline constexpr int AnalysisQualityNormal = 32790;
inline constexpr int AnalysisQualityFast = 32791;
inline constexpr int CentsRoundWhole = 32796;
inline constexpr int CentsRoundTenth = 32797;
inline constexpr int TuningSettings = 32799;
inline constexpr int OpenWebSite = 32803;
inline constexpr int AlwaysOnTop = 32805;
inline constexpr int PrecisePitch = 32810;

// Ids of the two hidden text controls whose texts carry the reading for
// other programs ("NOTE:%s,%3.1f" and "LEVEL:%3.1f").
inline constexpr int NoteTextControl = 200;
inline constexpr int LevelTextControl = 201;

// Window ids of the three panes.
inline constexpr int EnergyIndicator = 0;
inline constexpr int FineIndicator = 1;
inline constexpr int GlobalIndicator = 3;

}  // namespace CommandId
