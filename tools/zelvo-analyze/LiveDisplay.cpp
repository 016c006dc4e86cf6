#include "LiveDisplay.h"

#include <numeric>

#include "OutputFormat.h"
#include "tuning/NoteNames.h"

namespace ZelvoAnalyze {

void LiveDisplay::Add(const NoteAnalyzer::AnalysisResult& result) {
  levels_.push_back(static_cast<float>(result.level));
  while (levels_.size() > kLevelsKept) levels_.pop_front();
  latest_ = ReadHop(reference_, result, 0.0);
  fresh_ = true;
}

std::string LiveDisplay::TakeLine() {
  if (!fresh_) return {};
  fresh_ = false;
  const float levelMean =
      std::accumulate(levels_.begin(), levels_.end(), 0.0f) / static_cast<float>(levels_.size());
  std::string line;
  if (latest_.HasNote())
    line = FormatNoteName(latest_.note, 0) + '\t' + FormatCentsLabel(latest_.cents, 0);
  else
    line = "-\t-";
  return line + '\t' + FormatFixed(levelMean, 1);
}

}  // namespace ZelvoAnalyze
