// The PortAudio capture path end to end, without a sound card: ALSA's file
// plugin presents a raw 16-bit file as a capture device (its "null" slave
// supplies the timing, the file supplies the samples), and a recording
// through the recorder must read the samples of that file.

#include <algorithm>
#include <thread>

#include "AlsaTestConfig.h"
#include "RecorderTestSupport.h"
#include "TestCaptureDevice.h"
#include "capture/PortAudioDevice.h"
#include "capture/Recorder.h"

namespace Recorder {
namespace {

using namespace std::chrono_literals;

constexpr const char* FileDeviceName = "zelvo_file_capture";
constexpr int FileFrames = 6000;

std::int16_t FileSample(int i) {
    return static_cast<std::int16_t>((i * 37) % 20000 - 10000);
}

std::vector<std::uint8_t> FileBytes() {
    std::vector<std::int16_t> samples(FileFrames);
    for (int i = 0; i < FileFrames; ++i) samples[static_cast<std::size_t>(i)] = FileSample(i);
    return Pcm16Bytes(samples);
}

// The raw file and an ALSA configuration with two capture PCMs reading it:
// our named device and "default". PortAudio needs a "default" (or "dmix")
// entry besides the others to build its device list.
std::string WriteFileAndConfiguration(const std::filesystem::path& directory) {
    const std::filesystem::path raw = directory / "capture.raw";
    const std::vector<std::uint8_t> bytes = FileBytes();
    std::ofstream(raw, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const std::string pcm = " {\n  type file\n  slave.pcm \"null\"\n  file \"/dev/null\"\n  infile \"" +
                            raw.string() + "\"\n  format \"raw\"\n}\n";
    // The file plugin reads its defaults from these two keys of alsa.conf.
    return "defaults.pcm.file_format \"raw\"\ndefaults.pcm.file_truncate true\npcm.null { type null }\n"
           "pcm." +
           std::string(FileDeviceName) + pcm + "pcm.default" + pcm;
}

int FileDeviceNumber(ICaptureDevice& devices) {
    for (const DeviceEntry& entry : ListDevices(devices).entries)
        if (entry.text == FileDeviceName) return entry.deviceNumber;
    return -2;
}

// The file device is listed with its formats, and a recording from it, or
// from the preferred device (PortAudio's default input), reads the file.
TEST(PortAudioFileDevice, IsListedAndRecordingReadsTheSamplesOfTheFile) {
    PortAudioSession session;
    ASSERT_TRUE(session.IsOpen()) << session.ErrorText();
    auto devices = CreatePortAudioDevice();
    const int number = FileDeviceNumber(*devices);
    ASSERT_GE(number, 0) << "the file device is not in PortAudio's list";
    const FormatList formats = ListFormats(*devices, number, 0x4);
    ASSERT_GE(formats.selected, 0);
    EXPECT_EQ(formats.selectedFlag, 0x4u);  // 11025 Hz, 16-bit, mono is offered
    EXPECT_FALSE(ListFormats(*devices, PreferredDeviceNumber).entries.empty());
    EXPECT_TRUE(ListFormats(*devices, devices->DeviceCount()).entries.empty());  // past the end

    for (unsigned int deviceId : {static_cast<unsigned int>(number), WaveMapperDeviceId}) {
        SCOPED_TRACE(deviceId);
        CollectingListener listener;
        RecorderConfig config;  // 11025 Hz 16-bit mono, 256 frames a buffer
        config.deviceId = deviceId;
        config.bufferCount = 64;  // the whole file fits in the first queue: nothing can be dropped
        config.listener = &listener;
        config.device = devices;
        RecorderHandle recorder;
        try {
            Start(recorder, config, true);
        } catch (const RecorderException& e) {
            Stop(recorder);
            FAIL() << "recording did not start, code " << e.Code();
        }
        const bool enough = listener.WaitForCalls((FileFrames + 255) / 256, 20s);
        EXPECT_TRUE(Stop(recorder));
        ASSERT_TRUE(enough);
        for (int i = 0; i < FileFrames; ++i)
            ASSERT_EQ(listener.samples[static_cast<std::size_t>(i)], FileSample(i) / 32768.0) << i;
    }
}

// The device layer on its own: the file device runs far faster than real
// time, so the two queued buffers are filled at once and everything after
// them must be dropped and counted, never written over a filled buffer. The
// raw bytes arrive unchanged in either sample format.
TEST(PortAudioFileDevice, FillsQueuedBuffersInOrderAndDropsWhatDoesNotFit) {
    PortAudioSession session;
    auto devices = CreatePortAudioDevice();
    const int number = FileDeviceNumber(*devices);
    ASSERT_GE(number, 0);
    const std::vector<std::uint8_t> expected = FileBytes();
    for (const WaveFormatDesc format : {WaveFormatDesc{1, 16, 11025}, WaveFormatDesc{1, 8, 22050}}) {
        std::atomic<int> done{0};
        std::unique_ptr<ICaptureStream> stream;
        ASSERT_EQ(devices->Open(
                      static_cast<unsigned int>(number), format, [&done] { ++done; }, stream),
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

}  // namespace
}  // namespace Recorder

int main(int argc, char** argv) {
    return Recorder::AlsaTest::RunWithConfiguration(argc, argv, Recorder::WriteFileAndConfiguration);
}
