// Feeds a recording to the analyzer the way the recorder feeds it in the
// tuner: whole hops of advanceSize frames (one capture buffer each), in order.
#pragma once

#include <functional>

#include "analysis/AnalysisResult.h"
#include "analysis/Analyzer.h"

namespace ZelvoAnalyze {

// Fills up to `count` frames and returns how many it wrote; 0 at the end.
using FrameSource = std::function<int(double* frames, int count)>;
// Receives each hop's result and the time at the end of that hop (seconds).
using HopSink = std::function<void(const NoteAnalyzer::AnalysisResult& result, double endTime)>;

// Runs the analyzer over every whole hop the source yields and returns the
// number of hops. A trailing part hop is not analysed: the tuner only ever
// receives whole buffers.
long long FeedHops(NoteAnalyzer::Analyzer& analyzer, const FrameSource& source, const HopSink& sink);

}  // namespace ZelvoAnalyze
