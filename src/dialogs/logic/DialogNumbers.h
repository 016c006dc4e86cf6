#pragma once
// Numbers in the dialogs' text fields. They are read and written the same
// way whatever locale the user runs: a German user typing "442,5" gets 442,
// as the C library reads it in the "C" locale, and the fields always show a
// point as the decimal mark.

#include <string>
#include <string_view>

namespace DialogNumbers {

// The leading number of `text` (leading white space skipped, anything after
// the number ignored), 0.0 when the text does not start with one.
double Read(std::string_view text);

// Read(), but "nan", "inf" and any value that does not fit a float give 0.0:
// a calibration frequency must never become a non-finite factor.
float ReadFiniteFloat(std::string_view text);

// `value` in fixed notation with `decimals` decimals ("%3.3lf" and "%3.2lf"
// style: no padding is ever needed, as the shortest result is "0.00").
// A non-finite value gives "0" followed by the decimals.
std::string Fixed(double value, int decimals);

}  // namespace DialogNumbers
