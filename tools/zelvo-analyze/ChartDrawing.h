// Draws a laid-out intonation chart with cairo into an SVG or PNG file.
#pragma once

#include <string>

#include "IntonationChart.h"

namespace ZelvoAnalyze {

// The chart's pixel size, for PNG; SVG uses the same numbers as points.
inline constexpr double kChartWidth = 1200.0;
inline constexpr double kChartHeight = 480.0;

// Writes the chart to path, as SVG when it ends in ".svg" (any case) and as
// PNG otherwise. Throws std::runtime_error naming the file when it cannot be
// written.
void WriteIntonationChart(const ChartLayout& layout, const std::string& path);

}  // namespace ZelvoAnalyze
