// zelvo-analyze: the tuner's analysis engine on the command line. Reads a
// recording (or, with --live, the recording device) hop by hop as the tuner
// does and prints the readings. Exit status 2 for every kind of bad input.
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
            ZelvoAnalyze::AnalyzeFile(options.file, settings, ZelvoAnalyze::FileReport::Hops, std::cout);
            return 0;
        case RunMode::Notes:
            ZelvoAnalyze::AnalyzeFile(options.file, settings, ZelvoAnalyze::FileReport::Notes, std::cout);
            return 0;
        case RunMode::Partials:
            ZelvoAnalyze::AnalyzeFile(options.file, settings, ZelvoAnalyze::FileReport::Partials, std::cout);
            return 0;
        case RunMode::ListDevices: return ZelvoAnalyze::ListCaptureDevices(std::cout, std::cerr);
        case RunMode::Live:
            return ZelvoAnalyze::RunLiveTuner(settings, options.seconds, std::cout, std::cerr);
        case RunMode::Help: break;
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
