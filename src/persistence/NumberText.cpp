#include "persistence/NumberText.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>

#include <locale.h>

namespace {

#if defined(_WIN32)
_locale_t ClassicLocale() {
    // Created once, never changed afterwards; function-local statics are
    // initialised thread-safely.
    static const _locale_t locale = _create_locale(LC_ALL, "C");
    return locale;
}
#else
locale_t ClassicLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}
#endif

}  // namespace

int TextToInt(std::string_view text) {
    // strtol needs a terminated string; the text may hold a NUL of its own,
    // which ends the number just as it would end a C string.
    const std::string copy(text);
#if defined(_WIN32)
    const long long value = _strtoi64_l(copy.c_str(), nullptr, 10, ClassicLocale());
#else
    const long long value = strtoll_l(copy.c_str(), nullptr, 10, ClassicLocale());
#endif
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

double TextToDouble(std::string_view text) {
    const std::string copy(text);
#if defined(_WIN32)
    return _strtod_l(copy.c_str(), nullptr, ClassicLocale());
#else
    return strtod_l(copy.c_str(), nullptr, ClassicLocale());
#endif
}

float NarrowToFloat(double value) {
    if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax) return std::numeric_limits<float>::infinity();
    if (value < -kMax) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

std::string IntToText(int value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FloatToText(float value) {
    // Enough room for the largest float in fixed notation with six decimals.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::fixed, 6);
    if (result.ec != std::errc()) return "0.000000";
    return std::string(buffer, result.ptr);
}
