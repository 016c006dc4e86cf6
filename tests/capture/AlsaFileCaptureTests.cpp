// The PortAudio capture path end to end, without a sound card: ALSA's file
// plugin presents a raw 16-bit file as a capture device (its "null" slave
// supplies the timing, the file supplies the samples), and a recording
// through the recorder must read the samples of that file.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "AlsaTestConfig.h"
#include "capture/PortAudioDevice.h"
#include "capture/Recorder.h"

namespace Recorder {
namespace {

using namespace std::chrono_literals;

constexpr const char* FileDeviceName = "zelvo_file_capture";
constexpr int FileFrames = 6000;
std::filesystem::path TempDirectory;   // set up by main before any test

std::int16_t FileSample(int i) { return static_cast<std::int16_t>((i * 37) % 20000 - 10000); }

// The raw file and an ALSA configuration with two capture PCMs reading it:
// our named device and "default". PortAudio needs a "default" (or "dmix")
// entry besides the others to build its device list.
std::string WriteFilesAndConfiguration(const std::filesystem::path& directory) {
    const std::filesystem::path raw = directory / "capture.raw";
    std::ofstream out(raw, std::ios::binary);
    for (int i = 0; i < FileFrames; ++i) {
        const auto word = static_cast<std::uint16_t>(FileSample(i));
        const char bytes[2] = {static_cast<char>(word & 0xFF), static_cast<char>(word >> 8)};
        out.write(bytes, 2);
    }
    const std::string pcm = "  type file\n  slave.pcm \"null\"\n  file \"/dev/null\"\n  infile \"" +
                            raw.string() + "\"\n  format \"raw\"\n";
    // The file plugin reads its defaults from these two keys of alsa.conf.
    return "defaults.pcm.file_format \"raw\"\n"
           "defaults.pcm.file_truncate true\n"
           "pcm.null { type null }\n"
           "pcm." + std::string(FileDeviceName) + " {\n" + pcm + "}\n"
           "pcm.default {\n" + pcm + "}\n";
}

class CollectingListener final : public IRecorderListener {
public:
    void OnBuffer(const double* samples, int count) override {
        std::lock_guard lock(mutex_);
        samples_.insert(samples_.end(), samples, samples + count);
        changed_.notify_all();
    }
    bool WaitForSamples(std::size_t count, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return samples_.size() >= count; });
    }
    std::vector<double> Samples() {
        std::lock_guard lock(mutex_);
        return samples_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<double> samples_;
};

int FileDeviceNumber(ICaptureDevice& devices) {
    for (const DeviceEntry& entry : ListDevices(devices).entries)
        if (entry.text == FileDeviceName) return entry.deviceNumber;
    return -2;
}

void RecordAndCompare(unsigned int deviceId) {
    PortAudioSession session;
    ASSERT_TRUE(session.IsOpen()) << session.ErrorText();
    CollectingListener listener;
    RecorderConfig config;
    config.deviceId = deviceId;
    config.channels = 1;
    config.bitsPerSample = 16;
    config.sampleRate = 11025;
    config.bufferCount = 64;     // the whole file fits in the first queue: nothing can be dropped
    config.bufferSamples = 256;
    config.listener = &listener;
    config.device = CreatePortAudioDevice();
    RecorderHandle recorder;
    try {
        Start(recorder, config, true);
    } catch (const RecorderException& e) {
        Stop(recorder);
        FAIL() << "recording did not start, code " << e.Code();
    }
    const bool enough = listener.WaitForSamples(FileFrames, 20s);
    EXPECT_TRUE(Stop(recorder));
    ASSERT_TRUE(enough);

    const std::vector<double> samples = listener.Samples();
    for (int i = 0; i < FileFrames; ++i) {
        ASSERT_EQ(samples[static_cast<std::size_t>(i)], FileSample(i) / 32768.0) << "sample " << i;
    }
}

TEST(PortAudioFileDevice, IsListedWithItsFormats) {
    PortAudioSession session;
    ASSERT_TRUE(session.IsOpen()) << session.ErrorText();
    auto devices = CreatePortAudioDevice();
    EXPECT_GE(devices->DeviceCount(), 1);
    const int number = FileDeviceNumber(*devices);
    ASSERT_GE(number, 0) << "the file device is not in PortAudio's list";

    const FormatList formats = ListFormats(*devices, number, 0x4);
    ASSERT_FALSE(formats.entries.empty());
    EXPECT_EQ(formats.selectedFlag, 0x4u);   // 11025 Hz, 16-bit, mono is offered
    EXPECT_EQ(formats.entries[static_cast<std::size_t>(formats.selected)].label,
              "11.025 kHz / 16-Bits / Mono");
    // The preferred device is asked too.
    EXPECT_FALSE(ListFormats(*devices, PreferredDeviceNumber).entries.empty());
    // A device number past the end has no formats.
    EXPECT_TRUE(ListFormats(*devices, devices->DeviceCount()).entries.empty());
}

TEST(PortAudioFileDevice, RecordingReadsTheSamplesOfTheFile) {
    PortAudioSession session;
    auto devices = CreatePortAudioDevice();
    const int number = FileDeviceNumber(*devices);
    ASSERT_GE(number, 0);
    RecordAndCompare(static_cast<unsigned int>(number));
}

TEST(PortAudioFileDevice, PreferredDeviceIsPortAudiosDefaultInput) {
    RecordAndCompare(WaveMapperDeviceId);
}

// The device layer on its own: the file device runs far faster than real
// time, so the two queued buffers are filled at once and everything after
// them must be dropped and counted, never written over a filled buffer.
TEST(PortAudioFileDevice, FillsQueuedBuffersInOrderAndDropsWhatDoesNotFit) {
    PortAudioSession session;
    auto devices = CreatePortAudioDevice();
    const int number = FileDeviceNumber(*devices);
    ASSERT_GE(number, 0);
    std::vector<std::uint8_t> expected(static_cast<std::size_t>(FileFrames) * 2);
    for (int i = 0; i < FileFrames; ++i) {
        const auto word = static_cast<std::uint16_t>(FileSample(i));
        expected[2 * static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(word & 0xFF);
        expected[2 * static_cast<std::size_t>(i) + 1] = static_cast<std::uint8_t>(word >> 8);
    }
    // The raw bytes arrive unchanged in either sample format.
    for (const WaveFormatDesc format : {WaveFormatDesc{1, 16, 11025}, WaveFormatDesc{1, 8, 22050}}) {
        std::atomic<int> done{0};
        std::unique_ptr<ICaptureStream> stream;
        ASSERT_EQ(devices->Open(static_cast<unsigned int>(number), format, [&done] { ++done; }, stream),
                  CaptureResult::Ok);
        std::vector<std::uint8_t> first(512, 0xEE);
        std::vector<std::uint8_t> second(512, 0xEE);
        ASSERT_EQ(stream->AddBuffer(first.data(), first.size()), CaptureResult::Ok);
        ASSERT_EQ(stream->AddBuffer(second.data(), second.size()), CaptureResult::Ok);
        // Empty buffers and, for 16-bit, partial frames are refused.
        EXPECT_EQ(stream->AddBuffer(second.data(), 0), CaptureResult::Failed);
        if (format.bitsPerSample == 16) {
            EXPECT_EQ(stream->AddBuffer(second.data(), 3), CaptureResult::Failed);
        }
        ASSERT_EQ(stream->Start(), CaptureResult::Ok);
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (stream->DroppedFrames() == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        EXPECT_EQ(stream->Stop(), CaptureResult::Ok);
        EXPECT_EQ(stream->Close(), CaptureResult::Ok);
        EXPECT_EQ(stream->AddBuffer(first.data(), first.size()), CaptureResult::NotOpen);

        EXPECT_EQ(done.load(), 2);
        EXPECT_GT(stream->DroppedFrames(), 0u);
        EXPECT_TRUE(std::equal(first.begin(), first.end(), expected.begin()));
        EXPECT_TRUE(std::equal(second.begin(), second.end(), expected.begin() + 512));
    }
}

TEST(PortAudioFileDevice, UnsupportedFormatIsRefusedAsCodeTwo) {
    PortAudioSession session;
    auto devices = CreatePortAudioDevice();
    CollectingListener listener;
    RecorderConfig config;
    config.deviceId = static_cast<unsigned int>(FileDeviceNumber(*devices));
    config.channels = 2;
    config.bitsPerSample = 12;   // not a capture format
    config.sampleRate = 11025;
    config.listener = &listener;
    config.device = devices;
    RecorderHandle recorder;
    try {
        Start(recorder, config, true);
        ADD_FAILURE() << "started";
    } catch (const RecorderException& e) {
        EXPECT_EQ(e.Code(), 2);
    }
    EXPECT_TRUE(Stop(recorder));
}

}  // namespace
}  // namespace Recorder

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Recorder::TempDirectory = Recorder::AlsaTest::MakeTempDirectory();
    if (Recorder::TempDirectory.empty() ||
        !Recorder::AlsaTest::UseAlsaConfiguration(
            Recorder::TempDirectory, Recorder::WriteFilesAndConfiguration(Recorder::TempDirectory))) {
        std::fprintf(stderr, "cannot prepare the ALSA test configuration\n");
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(Recorder::TempDirectory, ignored);
    return result;
}
