#include "persistence/NumberText.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

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

#if defined(_WIN32)
// The C runtime MinGW links (msvcrt) reads "nan" and "inf" as 0, where the C
// standard's strtod reads not-a-number and infinity. The files must read the
// same on every platform (the range checks then reject both), so those words
// are recognised here: white space, an optional sign, then "inf" or "nan" in
// any case.
std::optional<double> SpecialValue(const std::string& text) {
    std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string::npos) return std::nullopt;
    const bool negative = text[i] == '-';
    if (text[i] == '-' || text[i] == '+') ++i;
    auto startsWith = [&](const char* word) {
        for (std::size_t k = 0; word[k] != '\0'; ++k)
            if (i + k >= text.size() || std::tolower(static_cast<unsigned char>(text[i + k])) != word[k])
                return false;
        return true;
    };
    if (startsWith("inf"))
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    if (startsWith("nan")) return std::numeric_limits<double>::quiet_NaN();
    return std::nullopt;
}
#endif

double TextToDouble(std::string_view text) {
    const std::string copy(text);
#if defined(_WIN32)
    if (const std::optional<double> special = SpecialValue(copy)) return *special;
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
