// Units and ranges of the tuner, each fact written once. Every library may
// include this header; it depends on nothing but the standard library.
#pragma once

#include <numbers>

namespace Units {

// Cents in one natural-log unit of frequency ratio: 1200 / ln 2.
inline constexpr double CentsPerLogUnit = 1200.0 / std::numbers::ln2;

// The reference pitch: A4 is note 69 and sounds at 440 Hz by default.
inline constexpr int A4Note = 69;
inline constexpr double DefaultMiddleAHz = 440.0;

// The middle A a user may choose.
inline constexpr double MinMiddleAHz = 220.0;
inline constexpr double MaxMiddleAHz = 880.0;

}  // namespace Units
