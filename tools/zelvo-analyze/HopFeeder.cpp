#include "HopFeeder.h"

#include <vector>

namespace ZelvoAnalyze {

long long FeedHops(NoteAnalyzer::Analyzer& analyzer, const FrameSource& source, const HopSink& sink) {
    const int advance = analyzer.Settings().advanceSize;
    const double rate = analyzer.Settings().sampleRate;
    std::vector<double> hop(static_cast<std::size_t>(advance));
    long long hops = 0;
    for (;;) {
        int filled = 0;
        while (filled < advance) {
            const int got = source(hop.data() + filled, advance - filled);
            if (got <= 0) break;
            filled += got;
        }
        if (filled < advance) return hops;
        const NoteAnalyzer::AnalysisResult result = analyzer.Process(hop.data());
        ++hops;
        // Counted in frames so that long files keep exact times.
        sink(result, static_cast<double>(hops) * advance / rate);
    }
}

}  // namespace ZelvoAnalyze
