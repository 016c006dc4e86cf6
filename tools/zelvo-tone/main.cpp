// zelvo-tone: writes test tones for the analyzer, e.g.
//   zelvo-tone --out a440.wav 440
//   zelvo-tone --out two.wav --duration 1 --harmonics 6 110 165
#include "ToneSynth.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr const char* kUsage =
    "Usage: zelvo-tone --out FILE [options] FREQ [FREQ...]\n"
    "Writes one steady note per FREQ (Hz), in order. The type of FILE follows its\n"
    "extension: .wav .flac .aiff .ogg, or .raw for headerless 16-bit little-endian.\n"
    "  --duration S    seconds per note (default 2)\n"
    "  --gap S         seconds of silence between notes (default 0)\n"
    "  --rate HZ       sample rate (default 11025)\n"
    "  --harmonics N   partials 1..N with amplitude 1/k (default 1)\n"
    "  --detune C      shift every note by C cents (default 0)\n"
    "  --noise A       add white noise of peak A, full scale 1 (default 0)\n"
    "  --amplitude A   peak of the tone, full scale 1 (default 0.5)\n"
    "  --channels N    write N identical channels (default 1)\n";

bool ParseNumber(const char* text, double& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtod(text, &end);
    return end != text && *end == '\0' && errno == 0;
}

// Whole numbers only; out-of-range values become -1, which the
// range checks then refuse (a plain cast of 1e20 to int is undefined).
int ToCount(double value) {
    return value == std::floor(value) && value >= 0.0 && value <= 1e6 ? static_cast<int>(value) : -1;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "zelvo-tone: %s\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    ZelvoTone::ToneRequest request;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        double value = 0.0;
        if (arg.rfind("--", 0) == 0) {
            if (i + 1 >= argc) return Fail("missing value after " + arg);
            const char* text = argv[++i];
            if (arg == "--out") {
                out = text;
                continue;
            }
            if (!ParseNumber(text, value)) return Fail("not a number for " + arg + ": " + text);
            if (arg == "--duration")
                request.duration = value;
            else if (arg == "--gap")
                request.gap = value;
            else if (arg == "--rate")
                request.sampleRate = ToCount(value);
            else if (arg == "--harmonics")
                request.harmonics = ToCount(value);
            else if (arg == "--detune")
                request.detuneCents = value;
            else if (arg == "--noise")
                request.noise = value;
            else if (arg == "--amplitude")
                request.amplitude = value;
            else if (arg == "--channels")
                request.channels = ToCount(value);
            else
                return Fail("unknown option " + arg);
            continue;
        }
        if (!ParseNumber(argv[i], value)) return Fail("not a frequency: " + arg);
        request.frequencies.push_back(value);
    }
    if (out.empty()) return Fail("no output file (--out FILE)");
    if (const std::string problem = ZelvoTone::ValidateToneRequest(request); !problem.empty())
        return Fail(problem);
    const std::string error =
        ZelvoTone::WriteTone(out, ZelvoTone::SynthesizeTone(request), request.sampleRate, request.channels);
    if (!error.empty()) return Fail(error);
    return 0;
}
