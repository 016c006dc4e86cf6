#include "AnalyzeOptions.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace ZelvoAnalyze {

namespace {

// Whole-text number conversions: "12x", "" and "nan" are refused.
bool ParseDouble(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtod(text.c_str(), &end);
    return *end == '\0' && errno == 0 && std::isfinite(out);
}

bool ParseInt(const std::string& text, int& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 0);  // base 0: format flags may be hex
    if (*end != '\0' || errno != 0 || value < -2147483647L - 1 || value > 2147483647L) return false;
    out = static_cast<int>(value);
    return true;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    if (text.size() <= suffix.size()) return false;
    std::string tail = text.substr(text.size() - suffix.size());
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == suffix;
}

bool IsChartFileName(const std::string& name) {
    return EndsWith(name, ".svg") || EndsWith(name, ".png");
}

bool TakesValue(const std::string& name) {
    return name == "--quality" || name == "--noise-floor" || name == "--middle-a" || name == "--settings" ||
           name == "--device" || name == "--format" || name == "--seconds" || name == "--plot";
}

}  // namespace

namespace {

// What the command line asks for besides the option values.
struct Requests {
    bool notes = false;
    bool partials = false;
    bool live = false;
    bool listDevices = false;
    std::vector<std::string> files;
};

// Takes one option with its value (empty for a switch) into `o` or
// `requests`; returns the error text, empty when the option is fine.
std::string ApplyOption(const std::string& arg, const std::string& value, AnalyzeOptions& o,
                        Requests& requests) {
    double number = 0.0;
    int integer = 0;
    if (arg == "--notes") {
        requests.notes = true;
    } else if (arg == "--partials") {
        requests.partials = true;
    } else if (arg == "--quality") {
        if (value == "normal")
            o.quality = 0;
        else if (value == "fast")
            o.quality = 1;
        else
            return "--quality must be normal or fast, not '" + value + "'";
    } else if (arg == "--noise-floor") {
        if (!ParseDouble(value, number) || !Units::IsNoiseFloorInRange(number))
            return "--noise-floor must be a number of dB from -60 to 0, not '" + value + "'";
        o.noiseFloor = number;
    } else if (arg == "--middle-a") {
        if (!ParseDouble(value, number) || !Units::IsMiddleAInRange(number))
            return "--middle-a must be a frequency from 220 to 880 Hz, not '" + value + "'";
        o.middleA = number;
    } else if (arg == "--settings") {
        if (value.empty()) return "--settings needs a directory";
        o.settingsDir = value;
    } else if (arg == "--classic") {
        o.classic = true;
    } else if (arg == "--list-devices") {
        requests.listDevices = true;
    } else if (arg == "--live") {
        requests.live = true;
    } else if (arg == "--device") {
        if (!ParseInt(value, integer) || integer < -1)
            return "--device must be -1 or a device number, not '" + value + "'";
        o.device = integer;
    } else if (arg == "--format") {
        if (!ParseInt(value, integer)) return "--format must be a format flag, not '" + value + "'";
        o.format = integer;
    } else if (arg == "--seconds") {
        if (!ParseDouble(value, number) || number <= 0.0 || number > 86400.0)
            return "--seconds must be a number of seconds above 0, not '" + value + "'";
        o.seconds = number;
    } else if (arg == "--plot") {
        if (!IsChartFileName(value))
            return "--plot needs a file name ending in .svg or .png, not '" + value + "'";
        o.plot = value;
    } else {
        return "unknown option " + arg;
    }
    return {};
}

// Sets the run mode the requests make, and the file; returns the error text
// of a combination that makes no sense, empty when it is fine.
std::string ChooseMode(const Requests& requests, AnalyzeOptions& o) {
    if (requests.listDevices) {
        if (requests.live || requests.notes || requests.partials || !requests.files.empty() || o.plot)
            return "--list-devices takes no other mode or file";
        o.mode = RunMode::ListDevices;
        return {};
    }
    if (requests.live) {
        if (requests.notes) return "--notes cannot be combined with --live";
        if (requests.partials) return "--partials cannot be combined with --live";
        if (!requests.files.empty()) return "--live reads the recording device, not a file";
        if (o.plot) return "--plot charts a recording, not --live";
        o.mode = RunMode::Live;
        return {};
    }
    if (o.device || o.format || o.seconds) return "--device, --format and --seconds apply only to --live";
    if (requests.files.empty()) return "no audio file given (see --help)";
    if (requests.files.size() > 1)
        return "only one audio file may be given, not " + std::to_string(requests.files.size());
    o.file = requests.files.front();
    if (requests.notes && requests.partials) return "--notes cannot be combined with --partials";
    o.mode = requests.notes ? RunMode::Notes : requests.partials ? RunMode::Partials : RunMode::Hops;
    return {};
}

}  // namespace

ParsedOptions ParseAnalyzeOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    Requests requests;
    bool onlyFiles = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
            requests.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyFiles = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            parsed.options.mode = RunMode::Help;
            return parsed;
        }
        if (arg == "--version") {
            parsed.options.mode = RunMode::Version;
            return parsed;
        }
        // "--name=value" or "--name value" for the options that take one.
        std::string value;
        bool hasValue = false;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasValue = true;
        }
        if (TakesValue(arg)) {
            if (!hasValue) {
                if (i + 1 >= args.size()) {
                    parsed.error = "missing value after " + arg;
                    return parsed;
                }
                value = args[++i];
            }
        } else if (hasValue) {
            parsed.error = "option " + arg + " takes no value";
            return parsed;
        }
        parsed.error = ApplyOption(arg, value, parsed.options, requests);
        if (!parsed.error.empty()) return parsed;
    }
    parsed.error = ChooseMode(requests, parsed.options);
    return parsed;
}

std::string UsageText() {
    return "Usage: zelvo-analyze [options] FILE\n"
           "       zelvo-analyze --live [options]\n"
           "       zelvo-analyze --list-devices\n"
           "Reads a recording (WAV, FLAC, AIFF, OGG, ...) through the tuner's analysis engine,\n"
           "one hop at a time as the tuner does, and prints what it hears.\n"
           "Default output, one line per hop, tab-separated: time at the end of the hop (s),\n"
           "frequency (Hz, -1 when none), note, deviation (cents), level (dB).\n"
           "  --notes             one line per held note instead: note, start (s), end (s),\n"
           "                      median deviation (cents), number of hops\n"
           "  --partials          one line per harmonic of every hop with a reading instead: end\n"
           "                      time (s), harmonic number, frequency (Hz), level (dB), and the\n"
           "                      pitch of frequency / number in cents from the fundamental\n"
           "  --quality Q         analysis quality, normal or fast (default normal)\n"
           "  --noise-floor DB    analysis gate from -60 to 0 dB (default -30)\n"
           "  --middle-a HZ       frequency of A4 from 220 to 880 Hz (default 440)\n"
           "  --classic           plain template match and vote, without precise pitch\n"
           "  --settings DIR      use the tuner's settings files in DIR: middle A, temperament,\n"
           "                      stretch table, calibration, noise floor, quality\n"
           "  --list-devices      list the recording devices and the formats they offer\n"
           "  --live              read the recording device as a terminal tuner\n"
           "  --device N          recording device for --live (default -1, the preferred one)\n"
           "  --format FLAG       capture format flag for --live (default 4: 11.025 kHz 16-bit mono)\n"
           "                      (with --settings, device and format default to the file's)\n"
           "  --seconds S         stop --live after S seconds\n"
           "  --plot FILE         also draw an intonation chart of the recording to FILE\n"
           "                      (.svg or .png): deviation over time, one colour per note\n"
           "  --version           show the version\n"
           "  --help              show this text\n"
           "On a terminal, a long recording shows its progress on stderr.\n"
           "Bad input prints one line on stderr and exits with status 2.\n";
}

std::string VersionText() {
    return std::string("zelvo-analyze ") + ZELVO_VERSION_TEXT + "\n";
}

}  // namespace ZelvoAnalyze
