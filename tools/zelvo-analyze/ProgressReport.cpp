#include "ProgressReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ZelvoAnalyze {

namespace {

constexpr double kQuietSeconds = 1.0;
constexpr double kRefreshSeconds = 0.25;

}  // namespace

std::string FormatDuration(double seconds) {
    const long total = std::isfinite(seconds) ? std::max(0L, std::lround(seconds)) : 0L;
    char text[48];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

std::string ProgressReport::Update(double doneSeconds, double elapsedSeconds) {
    if (!(total_ > 0.0) || elapsedSeconds < kQuietSeconds) return {};
    if (lastShown_ >= 0.0 && elapsedSeconds - lastShown_ < kRefreshSeconds) return {};
    lastShown_ = elapsedSeconds;
    const double fraction = std::clamp(doneSeconds / total_, 0.0, 1.0);
    std::string line = std::to_string(static_cast<int>(std::floor(fraction * 100.0 + 1e-9))) + "%";
    // The pace so far predicts the rest; with nothing done yet it cannot.
    if (fraction > 0.0) line += ", " + FormatDuration(elapsedSeconds * (1.0 - fraction) / fraction) + " left";
    const std::size_t width = line.size();
    // Spaces cover the rest of a longer line shown before.
    if (width < shownWidth_) line.append(shownWidth_ - width, ' ');
    shownWidth_ = std::max(shownWidth_, width);
    return "\r" + line;
}

std::string ProgressReport::Finish() {
    if (shownWidth_ == 0) return {};
    return "\r" + std::string(shownWidth_, ' ') + "\r";
}

}  // namespace ZelvoAnalyze
