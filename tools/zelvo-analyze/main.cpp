// zelvo-analyze: the tuner's analysis engine on the command line. Reads a
// recording (or, with --live, the recording device) hop by hop as the tuner
// does and prints the readings. Exit status 2 for every kind of bad input.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "AnalyzeFile.h"
#include "AnalyzeOptions.h"
#include "LiveSession.h"
#include "SettingsDirectory.h"
#include "ToolSettings.h"
#include "analysis/Analyzer.h"

namespace {

constexpr int kBadInput = 2;

int Fail(const std::string& message) {
    std::cerr << "zelvo-analyze: " << message << std::endl;
    return kBadInput;
}

// A full disk or a closed pipe shows only when the buffered output is
// flushed, so the last write is checked here rather than at every line.
int FinishOutput(int status) {
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) return Fail("cannot write the output");
    return status;
}

int Run(const ZelvoAnalyze::AnalyzeOptions& options) {
    using ZelvoAnalyze::RunMode;
    std::optional<ZelvoAnalyze::TunerSettings> files;
    if (options.settingsDir) files = ZelvoAnalyze::LoadTunerSettings(*options.settingsDir);
    const ZelvoAnalyze::EffectiveSettings settings = ZelvoAnalyze::ResolveSettings(options, files);
    switch (options.mode) {
        case RunMode::Hops:
        case RunMode::Notes:
        case RunMode::Partials: {
            ZelvoAnalyze::FileRunExtras extras;
            extras.chartPath = options.plot;
            const ZelvoAnalyze::FileReport report =
                options.mode == RunMode::Notes      ? ZelvoAnalyze::FileReport::Notes
                : options.mode == RunMode::Partials ? ZelvoAnalyze::FileReport::Partials
                                                    : ZelvoAnalyze::FileReport::Hops;
            // Progress only where a person watches: pipes and logs stay clean,
            // and hop lines going to the same terminal would tear it apart.
            const bool notes = report == ZelvoAnalyze::FileReport::Notes;
            if (isatty(STDERR_FILENO) && (notes || !isatty(STDOUT_FILENO))) extras.progress = &std::cerr;
            ZelvoAnalyze::AnalyzeFile(options.file, settings, report, std::cout, extras);
            return 0;
        }
        case RunMode::ListDevices: return ZelvoAnalyze::ListCaptureDevices(std::cout, std::cerr);
        case RunMode::Live:
            return ZelvoAnalyze::RunLiveTuner(settings, options.seconds, std::cout, std::cerr);
        case RunMode::Help:
        case RunMode::Version: break;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const ZelvoAnalyze::ParsedOptions parsed =
        ZelvoAnalyze::ParseAnalyzeOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) return Fail(parsed.error);
    if (parsed.options.mode == ZelvoAnalyze::RunMode::Help) {
        std::cout << ZelvoAnalyze::UsageText();
        return FinishOutput(0);
    }
    if (parsed.options.mode == ZelvoAnalyze::RunMode::Version) {
        std::cout << ZelvoAnalyze::VersionText();
        return FinishOutput(0);
    }
    try {
        return FinishOutput(Run(parsed.options));
    } catch (const NoteAnalyzer::NoteAnalyzerException& e) {
        return Fail(e.message);
    } catch (const std::bad_alloc&) {
        return Fail("out of memory");
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}
