#include "AudioFileReader.h"

#include <sndfile.h>
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "AudioFileChecks.h"

namespace ZelvoAnalyze {

void MixToMono(const double* interleaved, int count, int channels, double* mono) {
    for (int i = 0; i < count; ++i) {
        double sum = 0.0;
        for (int c = 0; c < channels; ++c) {
            const double v = interleaved[static_cast<std::size_t>(i) * channels + c];
            sum += std::isfinite(v) ? v : 0.0;
        }
        mono[i] = sum / channels;
    }
}

namespace {

// The first problem with path as a file to open, in the system's words; empty
// when it is a non-empty file (or something else libsndfile may read).
std::string PathProblem(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int statErrno = errno;
        if (statErrno == ENOENT) return "no such file";
        return std::strerror(statErrno);
    }
    if (S_ISDIR(st.st_mode)) return "is a directory, not an audio file";
    if (S_ISREG(st.st_mode) && st.st_size == 0) return "the file is empty";
    return {};
}

}  // namespace

AudioFileReader::AudioFileReader(const std::string& path) : path_(path) {
    if (const std::string problem = PathProblem(path); !problem.empty())
        throw AudioFileError(path + ": " + problem);

    SF_INFO info{};
    file_ = sf_open(path.c_str(), SFM_READ, &info);
    if (file_ == nullptr) {
        // libsndfile reports permission problems in its own words; errno is clearer.
        const int openErrno = errno;
        std::string reason = sf_strerror(nullptr);
        if (openErrno == EACCES) reason = std::strerror(openErrno);
        throw AudioFileError(path + ": cannot read as audio: " + reason);
    }
    sampleRate_ = info.samplerate;
    channels_ = info.channels;
    // libsndfile gives the largest count when the header does not say.
    frames_ = info.frames == SF_COUNT_MAX ? -1 : info.frames;
    std::string problem;
    const double declaredRate = (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_AIFF
                                    ? ReadAiffSampleRate(path).value_or(sampleRate_)
                                    : sampleRate_;
    if (channels_ < 1)
        problem = "the file has no audio channels";
    else if (frames_ == 0)
        problem = "the file holds no audio";
    else if (!IsUsableSampleRate(declaredRate))
        problem = "sample rate " + FormatSampleRate(declaredRate) + " Hz is outside " +
                  FormatSampleRate(kLowestSampleRate) + " to " + FormatSampleRate(kHighestSampleRate) + " Hz";
    if (!problem.empty()) {
        sf_close(file_);
        file_ = nullptr;
        throw AudioFileError(path + ": " + problem);
    }
    // Integer PCM reads as s / 2^(bits-1): full scale -1.0 .. just below +1.0.
    sf_command(file_, SFC_SET_NORM_DOUBLE, nullptr, SF_TRUE);
}

AudioFileReader::~AudioFileReader() {
    if (file_ != nullptr) sf_close(file_);
}

int AudioFileReader::ReadMono(double* out, int count) {
    if (count <= 0) return 0;
    interleaved_.resize(static_cast<std::size_t>(count) * channels_);
    const sf_count_t got = sf_readf_double(file_, interleaved_.data(), count);
    if (got < 0) throw AudioFileError(path_ + ": read error: " + sf_strerror(file_));
    if (got == 0 && sf_error(file_) != SF_ERR_NO_ERROR)
        throw AudioFileError(path_ + ": read error: " + sf_strerror(file_));
    MixToMono(interleaved_.data(), static_cast<int>(got), channels_, out);
    framesRead_ += got;
    return static_cast<int>(got);
}

}  // namespace ZelvoAnalyze
