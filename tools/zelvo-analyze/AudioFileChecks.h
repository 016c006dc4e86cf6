// Plausibility checks on what a recording declares and what it yields: the
// sample rate in its header (read from the header itself where libsndfile
// rounds it) and the number of frames that really decode.
#pragma once

#include <optional>
#include <string>

namespace ZelvoAnalyze {

// The rates the analyzer is meant for; anything else is a damaged header.
inline constexpr double kLowestSampleRate = 1000.0;
inline constexpr double kHighestSampleRate = 768000.0;

bool IsUsableSampleRate(double rate);

// The rate as the message names it: "0", "44100", "NaN", "1e+30".
std::string FormatSampleRate(double rate);

// The sample rate stored in an AIFF/AIFC file's COMM chunk, exactly as
// written. libsndfile reports 1 for a rate of 0 and a fixed large number for
// NaN, so a message naming its value would be wrong. Empty when the file is
// not an AIFF or has no readable COMM chunk.
std::optional<double> ReadAiffSampleRate(const std::string& path);

// An 80-bit IEEE extended number, big-endian as AIFF stores it.
double ExtendedToDouble(const unsigned char bytes[10]);

// Empty when `decoded` frames are a believable reading of a file that
// declares `declared` frames (`declared` < 0: length unknown), else the
// reason, without the file name. A file must yield at least one whole hop,
// and not break off far short of the length its header promises.
std::string DecodedLengthProblem(long long decoded, long long declared, int hopFrames, double sampleRate);

}  // namespace ZelvoAnalyze
