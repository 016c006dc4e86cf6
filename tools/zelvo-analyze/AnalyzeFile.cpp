#include "AnalyzeFile.h"

#include <memory>
#include <ostream>
#include <stdexcept>

#include "AudioFileChecks.h"
#include "AudioFileReader.h"
#include "HopFeeder.h"
#include "NoteSummary.h"
#include "OutputFormat.h"
#include "analysis/Analyzer.h"
#include "analysis/AnalyzerSettings.h"

namespace ZelvoAnalyze {

void AnalyzeFile(const std::string& path, const EffectiveSettings& settings, bool notes, std::ostream& out) {
    AudioFileReader reader(path);
    NoteAnalyzer::AnalyzerSettings analyzerSettings =
        NoteAnalyzer::SettingsFor(reader.SampleRate(), settings.quality);
    analyzerSettings.precisePitch = settings.precisePitch;
    std::unique_ptr<NoteAnalyzer::Analyzer> analyzer;
    try {
        analyzer = std::make_unique<NoteAnalyzer::Analyzer>(analyzerSettings);
    } catch (const NoteAnalyzer::NoteAnalyzerException& e) {
        throw AudioFileError(path + ": sample rate " + std::to_string(reader.SampleRate()) +
                             " Hz is not usable: " + e.message);
    }
    analyzer->noiseFloor = settings.noiseFloor;
    if (reader.Frames() >= 0 && reader.Frames() < analyzerSettings.advanceSize)
        throw AudioFileError(path + ": shorter than one analysis hop (" +
                             std::to_string(analyzerSettings.advanceSize) + " frames)");

    const double hopDuration =
        static_cast<double>(analyzerSettings.advanceSize) / analyzerSettings.sampleRate;
    NoteSummarizer summary(hopDuration);
    FeedHops(
        *analyzer, [&reader](double* frames, int count) { return reader.ReadMono(frames, count); },
        [&](const NoteAnalyzer::AnalysisResult& result, double endTime) {
            const HopReading reading = ReadHop(settings.reference, result, endTime);
            if (notes)
                summary.Add(reading);
            else
                out << FormatHopLine(reading) << '\n';
        });
    // A cut-off file ends early without a read error; its readings so far
    // stand, but the run is not a success.
    if (const std::string problem = DecodedLengthProblem(reader.FramesRead(), reader.Frames(),
                                                         analyzerSettings.advanceSize, reader.SampleRate());
        !problem.empty())
        throw AudioFileError(path + ": " + problem);
    if (notes)
        for (const NoteSpan& span : summary.Finish()) out << FormatNoteLine(span) << '\n';
    out.flush();
}

}  // namespace ZelvoAnalyze
