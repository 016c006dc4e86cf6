// Number conversions of the settings files, independent of the process locale
// (the GUI may switch LC_NUMERIC, which must not change the files).
#pragma once

#include <string>
#include <string_view>

// Like the C library's strtol in the "C" locale: leading white space, an
// optional sign, decimal digits up to the first other character; text that
// does not start with a number gives 0. Values beyond the 32-bit range are
// clamped to it, as a 32-bit long conversion does.
int TextToInt(std::string_view text);

// Like strtod in the "C" locale: text that is not a number gives 0.0.
double TextToDouble(std::string_view text);

// A double narrowed to float without undefined behaviour: values beyond the
// float range become infinities, NaN stays NaN.
float NarrowToFloat(double value);

// "%d".
std::string IntToText(int value);
// "%lf" of the value widened to double: fixed notation, six decimals.
std::string FloatToText(float value);
