// Synthesis of the test tones that the build and the tool tests feed to the
// analyzer: a sequence of steady notes, each a sum of harmonics with an
// optional detune and white noise, written to any format libsndfile writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ZelvoTone {

struct ToneRequest {
    std::vector<double> frequencies;  // one note per entry, played in order (Hz)
    double duration = 2.0;            // seconds per note
    double gap = 0.0;                 // seconds of silence between notes
    int sampleRate = 11025;
    int harmonics = 1;         // partials 1..harmonics, amplitude 1/k
    double detuneCents = 0.0;  // applied to every note
    double noise = 0.0;        // peak of uniform white noise, full scale = 1
    double amplitude = 0.5;    // peak of the harmonic sum, full scale = 1
    int channels = 1;          // every channel carries the same signal
    std::uint32_t seed = 1;    // noise is reproducible from run to run
};

// Checks the ranges; returns an empty text when the tone can be synthesized,
// otherwise a one-line description of the first problem.
std::string ValidateToneRequest(const ToneRequest& request);

// The mono signal of the whole sequence. Each note fades in and out over
// 10 ms so that note boundaries do not click.
std::vector<double> SynthesizeTone(const ToneRequest& request);

// Writes the signal to path, the format chosen by the extension: .wav, .flac,
// .aif/.aiff (16-bit PCM), .ogg (Vorbis), .raw (headerless 16-bit
// little-endian). Returns an empty text on success, else the error; a file
// that could not be written whole is removed.
std::string WriteTone(const std::string& path, const std::vector<double>& mono, int sampleRate, int channels);

}  // namespace ZelvoTone
