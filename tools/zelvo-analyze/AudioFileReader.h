// Reads a recording through libsndfile as mono doubles, a block at a time, so
// that long files are never held in memory whole.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace ZelvoAnalyze {

// A recording that cannot be used; the message names the file and the problem.
class AudioFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class AudioFileReader {
public:
    // Opens path; throws AudioFileError when it is missing, unreadable, not
    // audio libsndfile knows, holds no frames, or declares a sample rate
    // outside kLowestSampleRate..kHighestSampleRate.
    explicit AudioFileReader(const std::string& path);
    ~AudioFileReader();
    AudioFileReader(const AudioFileReader&) = delete;
    AudioFileReader& operator=(const AudioFileReader&) = delete;

    int SampleRate() const { return sampleRate_; }
    int Channels() const { return channels_; }
    // The length the header declares; -1 when it does not say (a stream).
    long long Frames() const { return frames_; }
    // The frames ReadMono has delivered so far.
    long long FramesRead() const { return framesRead_; }

    // Fills out with up to count frames mixed to mono by averaging the
    // channels; full scale is +-1.0, so 16-bit PCM reads s / 32768 as the
    // tuner's 16-bit mono capture does. Samples that are not finite read 0.
    // Returns the number of frames read, 0 at the end. Throws AudioFileError
    // when the file breaks off in a way libsndfile reports.
    int ReadMono(double* out, int count);

private:
    std::string path_;
    SNDFILE* file_ = nullptr;
    int sampleRate_ = 0;
    int channels_ = 0;
    long long frames_ = 0;
    long long framesRead_ = 0;
    std::vector<double> interleaved_;
};

// Averages count frames of channels interleaved samples into mono, mapping
// values that are not finite to 0. Separate from the reader for testing.
void MixToMono(const double* interleaved, int count, int channels, double* mono);

}  // namespace ZelvoAnalyze
