// The PortAudio layer on a machine without any capture device: ALSA is given
// a configuration whose only PCM is a sound card that does not exist.

#include "AlsaTestConfig.h"
#include "RecorderTestSupport.h"
#include "capture/PortAudioDevice.h"

namespace Recorder {
namespace {

TEST(PortAudioWithoutDevices, ListsOnlyThePreferredEntryAndRecordingFailsWithCodeTwo) {
    PortAudioSession session;
    ASSERT_TRUE(session.IsOpen()) << session.ErrorText();
    {
        PortAudioSession inner;  // sessions nest: ending this one leaves PortAudio up
        EXPECT_TRUE(inner.IsOpen());
    }
    auto devices = CreatePortAudioDevice();
    EXPECT_EQ(devices->DeviceCount(), 0);
    const DeviceList list = ListDevices(*devices);
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].text, "Preferred Recording Device");
    EXPECT_TRUE(ListFormats(*devices, PreferredDeviceNumber, 0x4).entries.empty());
    EXPECT_TRUE(ListFormats(*devices, 0).entries.empty());
    std::string name;
    EXPECT_FALSE(devices->DeviceName(WaveMapperDeviceId, name));

    CollectingListener listener;
    RecorderConfig config;
    config.listener = &listener;
    config.device = devices;
    for (unsigned int deviceId : {WaveMapperDeviceId, 0u}) {
        SCOPED_TRACE(deviceId);
        config.deviceId = deviceId;
        RecorderHandle recorder;
        ExpectStartThrows(recorder, config, 2);
        EXPECT_TRUE(Stop(recorder));
    }
    EXPECT_TRUE(listener.counts.empty());
}

}  // namespace
}  // namespace Recorder

int main(int argc, char** argv) {
    return Recorder::AlsaTest::RunWithConfiguration(argc, argv, [](const std::filesystem::path&) {
        return "pcm.default { type hw card 31 device 0 }\n";
    });
}
