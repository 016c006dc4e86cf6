#include "AudioFileReader.h"

#include <sndfile.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

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

AudioFileReader::AudioFileReader(const std::string& path) : path_(path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) throw AudioFileError(path + ": no such file");
    if (std::filesystem::is_directory(status))
        throw AudioFileError(path + ": is a directory, not an audio file");
    if (std::filesystem::is_regular_file(status) && std::filesystem::file_size(path, ec) == 0 && !ec)
        throw AudioFileError(path + ": the file is empty");

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
    frames_ = info.frames;
    if (channels_ < 1) {
        sf_close(file_);
        file_ = nullptr;
        throw AudioFileError(path + ": the file has no audio channels");
    }
    if (frames_ <= 0) {
        sf_close(file_);
        file_ = nullptr;
        throw AudioFileError(path + ": the file holds no audio");
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
    return static_cast<int>(got);
}

}  // namespace ZelvoAnalyze
