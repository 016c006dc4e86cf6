// The terminal tuner's reading: what the tuner window would show for the
// results drained on one display tick, as one line of text.
#pragma once

#include <deque>
#include <string>

#include "HopReading.h"
#include "analysis/AnalysisResult.h"

namespace ZelvoAnalyze {

class LiveDisplay {
 public:
  explicit LiveDisplay(TuningReference reference) : reference_(std::move(reference)) {}

  // One result taken from the queue, in order.
  void Add(const NoteAnalyzer::AnalysisResult& result);

  // The line for this tick: concert note name, the cents label in tenths and
  // the mean level of the last 8 results, tab-separated ("-" for no note).
  // Empty when no result arrived since the last call.
  std::string TakeLine();

 private:
  static constexpr std::size_t kLevelsKept = 8;
  TuningReference reference_;
  std::deque<float> levels_;
  HopReading latest_;
  bool fresh_ = false;
};

}  // namespace ZelvoAnalyze
