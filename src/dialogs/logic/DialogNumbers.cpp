#include "dialogs/logic/DialogNumbers.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "persistence/NumberText.h"

namespace DialogNumbers {

double Read(std::string_view text) {
    return TextToDouble(text);
}

float ReadFiniteFloat(std::string_view text) {
    const float value = NarrowToFloat(Read(text));
    return std::isfinite(value) ? value : 0.0f;
}

std::string Fixed(double value, int decimals) {
    if (!std::isfinite(value)) value = 0.0;
    // Room for the largest double in fixed notation with its decimals.
    char buffer[std::numeric_limits<double>::max_exponent10 + 32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return Fixed(0.0, decimals);
    return std::string(buffer, result.ptr);
}

}  // namespace DialogNumbers
