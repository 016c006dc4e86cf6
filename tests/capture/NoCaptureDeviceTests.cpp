// The PortAudio layer on a machine without any capture device: ALSA is given
// a configuration whose only PCM is a sound card that does not exist.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "AlsaTestConfig.h"
#include "capture/PortAudioDevice.h"
#include "capture/Recorder.h"

namespace Recorder {
namespace {

class NullListener final : public IRecorderListener {
public:
    void OnBuffer(const double*, int) override { ++calls; }
    int calls = 0;
};

TEST(PortAudioWithoutDevices, CountsZeroAndListsOnlyThePreferredEntry) {
    PortAudioSession session;
    ASSERT_TRUE(session.IsOpen()) << session.ErrorText();
    auto devices = CreatePortAudioDevice();
    EXPECT_EQ(devices->DeviceCount(), 0);
    const DeviceList list = ListDevices(*devices);
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].text, "Preferred Recording Device");
    EXPECT_TRUE(ListFormats(*devices, PreferredDeviceNumber, 0x4).entries.empty());
    EXPECT_TRUE(ListFormats(*devices, 0).entries.empty());
    std::string name;
    EXPECT_FALSE(devices->DeviceName(WaveMapperDeviceId, name));
}

TEST(PortAudioWithoutDevices, RecordingFailsCleanlyWithCodeTwo) {
    PortAudioSession session;
    NullListener listener;
    RecorderConfig config;
    config.listener = &listener;
    config.device = CreatePortAudioDevice();
    for (unsigned int deviceId : {WaveMapperDeviceId, 0u}) {
        config.deviceId = deviceId;
        RecorderHandle recorder;
        try {
            Start(recorder, config, true);
            ADD_FAILURE() << "started on device " << deviceId;
        } catch (const RecorderException& e) {
            EXPECT_EQ(e.Code(), 2);
        }
        EXPECT_TRUE(Stop(recorder));
    }
    EXPECT_EQ(listener.calls, 0);
}

TEST(PortAudioWithoutDevices, SessionsNest) {
    PortAudioSession outer;
    {
        PortAudioSession inner;
        EXPECT_TRUE(inner.IsOpen());
    }
    EXPECT_EQ(CreatePortAudioDevice()->DeviceCount(), 0);
}

}  // namespace
}  // namespace Recorder

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const std::filesystem::path directory = Recorder::AlsaTest::MakeTempDirectory();
    if (directory.empty() ||
        !Recorder::AlsaTest::UseAlsaConfiguration(directory,
                                                  "pcm.default { type hw card 31 device 0 }\n")) {
        std::fprintf(stderr, "cannot prepare the ALSA test configuration\n");
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
    return result;
}
