#include "AnalyzeFile.h"

#include <chrono>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "AudioFileChecks.h"
#include "AudioFileReader.h"
#include "ChartDrawing.h"
#include "HopFeeder.h"
#include "NoteSummary.h"
#include "OutputFormat.h"
#include "ProgressReport.h"
#include "analysis/Analyzer.h"
#include "analysis/AnalyzerSettings.h"

namespace ZelvoAnalyze {

namespace {

// Shows the progress line on a terminal while the hops go by.
class ProgressLine {
public:
    ProgressLine(std::ostream* terminal, double totalSeconds) : terminal_(terminal), report_(totalSeconds) {}
    ~ProgressLine() { Show(report_.Finish()); }

    void At(double doneSeconds) {
        if (!terminal_) return;
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
        Show(report_.Update(doneSeconds, elapsed.count()));
    }

private:
    void Show(const std::string& text) {
        if (terminal_ && !text.empty()) *terminal_ << text << std::flush;
    }

    std::ostream* terminal_;
    ProgressReport report_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

void WritePartialLines(std::ostream& out, double endTime, const NoteAnalyzer::AnalysisResult& result) {
    if (result.frequency <= 0.0) return;
    for (const auto& [harmonic, peak] : result.harmonics)
        if (peak.frequency > 0.0)
            out << FormatPartialLine(endTime, harmonic, peak.frequency, peak.amplitude, result.frequency)
                << '\n';
}

}  // namespace

void AnalyzeFile(const std::string& path, const EffectiveSettings& settings, FileReport report,
                 std::ostream& out, const FileRunExtras& extras) {
    const bool notes = report == FileReport::Notes;
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
    std::vector<HopReading> chartHops;
    double duration = 0.0;
    {
        ProgressLine progress(
            extras.progress,
            reader.Frames() > 0 ? static_cast<double>(reader.Frames()) / reader.SampleRate() : 0.0);
        FeedHops(
            *analyzer, [&reader](double* frames, int count) { return reader.ReadMono(frames, count); },
            [&](const NoteAnalyzer::AnalysisResult& result, double endTime) {
                const HopReading reading = ReadHop(settings.reference, result, endTime);
                if (notes || extras.chartPath) summary.Add(reading);
                if (extras.chartPath) chartHops.push_back(reading);
                if (report == FileReport::Partials)
                    WritePartialLines(out, endTime, result);
                else if (!notes)
                    out << FormatHopLine(reading) << '\n';
                duration = endTime;
                progress.At(endTime);
            });
    }
    // A cut-off file ends early without a read error; its readings so far
    // stand, but the run is not a success.
    if (const std::string problem = DecodedLengthProblem(reader.FramesRead(), reader.Frames(),
                                                         analyzerSettings.advanceSize, reader.SampleRate());
        !problem.empty())
        throw AudioFileError(path + ": " + problem);
    const std::vector<NoteSpan> spans = summary.Finish();
    if (notes)
        for (const NoteSpan& span : spans) out << FormatNoteLine(span) << '\n';
    out.flush();
    if (extras.chartPath)
        WriteIntonationChart(
            LayoutIntonationChart(chartHops, spans, hopDuration, duration, kChartWidth, kChartHeight),
            *extras.chartPath);
}

}  // namespace ZelvoAnalyze
