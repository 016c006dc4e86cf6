#include "AudioFileChecks.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>

namespace ZelvoAnalyze {

namespace {

std::uint32_t BigEndian32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

std::string Seconds(long long frames, double sampleRate) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(frames) / sampleRate);
    return text;
}

// A decoder may round the declared length; a shortfall past this share is
// a file that was cut off.
constexpr double kShortfallTolerance = 0.1;

}  // namespace

bool IsUsableSampleRate(double rate) {
    return rate >= kLowestSampleRate && rate <= kHighestSampleRate;
}

std::string FormatSampleRate(double rate) {
    if (std::isnan(rate)) return "NaN";
    char text[32];
    if (rate == std::floor(rate) && std::fabs(rate) < 1e15)
        std::snprintf(text, sizeof text, "%.0f", rate);
    else
        std::snprintf(text, sizeof text, "%g", rate);
    return text;
}

double ExtendedToDouble(const unsigned char bytes[10]) {
    const bool negative = (bytes[0] & 0x80) != 0;
    const int exponent = ((bytes[0] & 0x7F) << 8) | bytes[1];
    const std::uint64_t mantissa = (std::uint64_t{BigEndian32(bytes + 2)} << 32) | BigEndian32(bytes + 6);
    double value;
    if (exponent == 0x7FFF)
        value = (mantissa << 1) != 0 ? std::nan("") : INFINITY;  // the top bit is the explicit integer bit
    else
        value = std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
    return negative ? -value : value;
}

std::optional<double> ReadAiffSampleRate(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char header[12];
    if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return std::nullopt;
    const std::string form(reinterpret_cast<char*>(header), 4), kind(reinterpret_cast<char*>(header) + 8, 4);
    if (form != "FORM" || (kind != "AIFF" && kind != "AIFC")) return std::nullopt;
    // Chunks follow one another, each padded to an even size; the walk is
    // bounded so that a header of tiny chunks cannot keep it busy.
    for (int chunk = 0; chunk < 1000; ++chunk) {
        unsigned char head[8];
        if (!in.read(reinterpret_cast<char*>(head), sizeof head)) return std::nullopt;
        const std::uint32_t size = BigEndian32(head + 4);
        if (std::string(reinterpret_cast<char*>(head), 4) == "COMM") {
            unsigned char comm[18];  // channels 2, frames 4, bits 2, rate 10
            if (size < sizeof comm || !in.read(reinterpret_cast<char*>(comm), sizeof comm))
                return std::nullopt;
            return ExtendedToDouble(comm + 8);
        }
        if (!in.seekg(static_cast<std::streamoff>(size) + (size & 1), std::ios::cur)) return std::nullopt;
    }
    return std::nullopt;
}

std::string DecodedLengthProblem(long long decoded, long long declared, int hopFrames, double sampleRate) {
    if (decoded < hopFrames) return "holds no decodable audio";
    if (declared > 0 &&
        static_cast<double>(decoded) < (1.0 - kShortfallTolerance) * static_cast<double>(declared))
        return "holds no decodable audio after " + Seconds(decoded, sampleRate) + " s of the " +
               Seconds(declared, sampleRate) + " s it declares";
    return {};
}

}  // namespace ZelvoAnalyze
