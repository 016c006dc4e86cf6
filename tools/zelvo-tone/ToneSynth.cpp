#include "ToneSynth.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <random>

namespace ZelvoTone {

std::string ValidateToneRequest(const ToneRequest& request) {
    if (request.frequencies.empty()) return "no frequency given";
    if (request.sampleRate < 1000 || request.sampleRate > 384000)
        return "sample rate must lie in 1000..384000 Hz";
    for (double f : request.frequencies)
        if (!(f > 0.0) || f >= request.sampleRate / 2.0)
            return "frequency must lie above 0 and below half the sample rate";
    if (!(request.duration > 0.0) || request.duration > 3600.0) return "duration must lie in 0..3600 s";
    if (!(request.gap >= 0.0) || request.gap > 3600.0) return "gap must lie in 0..3600 s";
    if (request.harmonics < 1 || request.harmonics > 64) return "harmonics must lie in 1..64";
    if (!std::isfinite(request.detuneCents) || std::fabs(request.detuneCents) > 1200.0)
        return "detune must lie in -1200..1200 cents";
    if (!(request.noise >= 0.0) || request.noise > 1.0) return "noise must lie in 0..1";
    if (!(request.amplitude >= 0.0) || request.amplitude > 1.0) return "amplitude must lie in 0..1";
    if (request.channels < 1 || request.channels > 8) return "channels must lie in 1..8";
    return {};
}

std::vector<double> SynthesizeTone(const ToneRequest& request) {
    const double rate = request.sampleRate;
    const auto noteFrames = static_cast<std::size_t>(std::llround(request.duration * rate));
    const auto gapFrames = static_cast<std::size_t>(std::llround(request.gap * rate));
    const double detune = std::pow(2.0, request.detuneCents / 1200.0);
    const double fadeFrames = std::max(1.0, 0.010 * rate);

    double harmonicSum = 0.0;
    for (int k = 1; k <= request.harmonics; ++k) harmonicSum += 1.0 / k;

    std::mt19937 generator(request.seed);
    std::uniform_real_distribution<double> noise(-request.noise, request.noise);

    std::vector<double> out;
    out.reserve(request.frequencies.size() * (noteFrames + gapFrames));
    for (std::size_t n = 0; n < request.frequencies.size(); ++n) {
        if (n > 0) out.insert(out.end(), gapFrames, 0.0);
        const double f = request.frequencies[n] * detune;
        for (std::size_t i = 0; i < noteFrames; ++i) {
            const double t = static_cast<double>(i) / rate;
            double v = 0.0;
            // Partials at or above Nyquist would alias back into the spectrum.
            for (int k = 1; k <= request.harmonics && k * f < rate / 2.0; ++k)
                v += std::sin(2.0 * std::numbers::pi * k * f * t) / k;
            const double edge = std::min(static_cast<double>(i), static_cast<double>(noteFrames - 1 - i));
            const double fade = std::min(1.0, edge / fadeFrames);
            out.push_back(request.amplitude * fade * v / harmonicSum);
        }
    }
    if (request.noise > 0.0)
        for (double& v : out) v = std::clamp(v + noise(generator), -1.0, 1.0);
    return out;
}

namespace {

int FormatForPath(const std::string& path) {
    const auto dot = path.rfind('.');
    std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == "wav") return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    if (ext == "flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    if (ext == "aif" || ext == "aiff") return SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
    if (ext == "ogg") return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    if (ext == "raw") return SF_FORMAT_RAW | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE;
    return 0;
}

// A cut-off recording would pass for a whole one later, so it goes; only a
// plain file is removed, never a device or a link the caller wrote through.
void RemovePartFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec)))
        std::filesystem::remove(path, ec);
}

}  // namespace

std::string WriteTone(const std::string& path, const std::vector<double>& mono, int sampleRate,
                      int channels) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = FormatForPath(path);
    if (info.format == 0) return "unknown output type (use .wav, .flac, .aiff, .ogg or .raw): " + path;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) return "cannot write " + path + ": " + sf_strerror(nullptr);
    // Full scale 1.0 becomes 32767 rather than wrapping to -32768.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);

    std::vector<double> frame(static_cast<std::size_t>(channels));
    std::vector<double> block;
    constexpr std::size_t blockFrames = 4096;
    std::string error;
    for (std::size_t start = 0; start < mono.size() && error.empty(); start += blockFrames) {
        const std::size_t count = std::min(blockFrames, mono.size() - start);
        block.assign(count * channels, 0.0);
        for (std::size_t i = 0; i < count; ++i)
            for (int c = 0; c < channels; ++c) block[i * channels + c] = mono[start + i];
        if (sf_writef_double(file, block.data(), static_cast<sf_count_t>(count)) !=
            static_cast<sf_count_t>(count))
            error = "cannot write " + path + ": " + sf_strerror(file);
    }
    if (sf_close(file) != 0 && error.empty()) error = "cannot finish " + path;
    if (!error.empty()) RemovePartFile(path);
    return error;
}

}  // namespace ZelvoTone
