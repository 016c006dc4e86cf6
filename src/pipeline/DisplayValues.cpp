#include "pipeline/DisplayValues.h"

#include "units/Units.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string Format(const char* format, auto... args) {
    char buffer[128];
    const int n = std::snprintf(buffer, sizeof buffer, format, args...);
    if (n < 0) {
        return {};
    }
    if (static_cast<std::size_t>(n) < sizeof buffer) {
        return std::string(buffer, static_cast<std::size_t>(n));
    }
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, args...);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

}  // namespace

double RoundHalfAwayFromZero(double v) {
    return v >= 0.0 ? std::floor(v + 0.5) : std::ceil(v - 0.5);
}

std::string FormatCentsLabel(float cents, int centAccuracy) {
    if (centAccuracy != CentAccuracyTenths && centAccuracy != CentAccuracyWhole) {
        return {};
    }
    if (!Units::IsShowableCents(cents)) {
        return {};  // no sensible label for a runaway value
    }
    const double scale = centAccuracy == CentAccuracyTenths ? 10.0 : 1.0;
    const double rounded = RoundHalfAwayFromZero(static_cast<double>(cents) * scale);
    const long long n = static_cast<long long>(rounded);
    // The sign comes from the rounded value, so -0.04 reads +00.0, not -00.0.
    const char* sign = n >= 0 ? "+" : "-";
    const long long a = std::llabs(n);
    if (centAccuracy == CentAccuracyTenths) {
        return Format("%s%lld%lld.%lld", sign, a / 100, (a % 100) / 10, a % 10);
    }
    return Format("%s%lld%lld", sign, a / 10, a % 10);
}

float NeedleDeviation(float cents) {
    return std::clamp(cents / 50.0f, -1.0f, 1.0f);
}

float FadeValue(std::uint32_t now, std::uint32_t lastTime) {
    // Unsigned subtraction wraps like the 32-bit tick count itself; read back
    // as signed it is the true (small) distance even across the wrap.
    const auto elapsed = static_cast<std::int32_t>(now - 200u - lastTime);
    return std::clamp(static_cast<float>(elapsed) / 400.0f, 0.0f, 1.0f);
}

std::string NoteControlText(const std::string& noteName, float cents) {
    return Format("NOTE:%s,%3.1f", noteName.c_str(), static_cast<double>(cents));
}

std::string LevelControlText(float noiseFloor) {
    return Format("LEVEL:%3.1f", static_cast<double>(noiseFloor));
}
