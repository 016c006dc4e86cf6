#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestCaptureDevice.h"
#include "capture/WaveFormat.h"

namespace Recorder {
namespace {

TEST(WaveFormat, EveryFlagOfTheTableAndNothingElseHasADescriptor) {
    std::uint32_t flag = 0x1;
    for (int rate : {11025, 22050, 44100, 48000, 96000})
        for (int bits : {8, 16})
            for (int channels : {1, 2}) {
                EXPECT_EQ(Describe(flag), (WaveFormatDesc{channels, bits, rate})) << std::hex << flag;
                flag <<= 1;
            }
    for (std::uint32_t value : {0x0u, 0x3u, 0x100000u, 0x80001u, 0xFFFFFFFFu})
        EXPECT_EQ(Describe(value), WaveFormatDesc{}) << std::hex << value;
}

TEST(WaveFormat, LabelsReadRateBitsAndChannels) {
    EXPECT_EQ(Label(Describe(0x4)), "11.025 kHz / 16-Bits / Mono");
    EXPECT_EQ(Label(Describe(0x10)), "22.05 kHz / 8-Bits / Mono");
    EXPECT_EQ(Label(Describe(0x800)), "44.1 kHz / 16-Bits / Stereo");
    EXPECT_EQ(Label(Describe(0x2000)), "48 kHz / 8-Bits / Stereo");
    EXPECT_EQ(Label(Describe(0x3)), "");
}

TEST(WaveFormat, ConvertKeepsTheScaleOfEachLayout) {
    const std::vector<std::uint8_t> pcm16 = Pcm16Bytes({0, -32768, 32767, 16384, -1, 16384, -32768, -32768});
    const struct {
        int bits, channels;
        std::vector<std::uint8_t> bytes;
        std::vector<double> expected;
    } cases[] = {
        {8, 1, {128, 0, 255, 192}, {0.0, -0.5, 127.0 / 256.0, 0.25}},
        {8, 2, {128, 128, 0, 0, 255, 255, 192, 64}, {0.0, -2.0, 254.0 / 128.0, 0.0}},
        {16, 1, pcm16, {0.0, -1.0, 32767.0 / 32768.0, 0.5, -1.0 / 32768.0, 0.5, -1.0, -1.0}},
        {16, 2, pcm16, {-2.0, 49151.0 / 16384.0, 16383.0 / 16384.0, -4.0}},
        {24, 1, {1, 2, 3, 4, 5, 6}, {0.0, 0.0}},  // unknown layout: silence
        {8, 3, {1, 2, 3, 4, 5, 6}, {0.0, 0.0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, " << c.channels << " channels");
        std::vector<double> out(c.expected.size() + 1, 9.0);  // the extra one must stay untouched
        Convert(c.bits, c.channels, static_cast<int>(c.expected.size()), c.bytes.data(), out.data());
        for (std::size_t i = 0; i < c.expected.size(); ++i) EXPECT_DOUBLE_EQ(out[i], c.expected[i]) << i;
        EXPECT_EQ(out.back(), 9.0);
    }
}

TEST(WaveFormat, DeviceListHasThePreferredDeviceFirstAndSelectsTheStoredOne) {
    TestCaptureDevice::Settings settings;
    settings.deviceNames = {"Line In", "USB Microphone"};
    TestCaptureDevice devices(settings);
    const DeviceList list = ListDevices(devices, 1);
    std::string rows;
    for (const DeviceEntry& entry : list.entries)
        rows += std::to_string(entry.deviceNumber) + " " + entry.text + "; ";
    EXPECT_EQ(rows, "-1 Preferred Recording Device; 0 Line In; 1 USB Microphone; ");
    EXPECT_EQ(list.selected, 2);
    EXPECT_EQ(ListDevices(devices).selected, 0);      // default: the preferred device
    EXPECT_EQ(ListDevices(devices, 7).selected, -1);  // stored device is gone: no selection
}

TEST(WaveFormat, FormatListFollowsTheMaskAndKeepsOrChoosesTheStoredFlag) {
    TestCaptureDevice::Settings settings;
    settings.formatMask = 0xFFF00000u | 0x4 | 0x800 | 0x40000;
    TestCaptureDevice devices(settings);
    FormatList list = ListFormats(devices, 0, 0x800);
    ASSERT_EQ(list.entries.size(), 3u);  // bits above the twenty flags are ignored
    EXPECT_EQ(list.entries[0].flag, 0x4u);
    EXPECT_EQ(list.entries[1].label, "44.1 kHz / 16-Bits / Stereo");
    EXPECT_EQ(list.entries[2].flag, 0x40000u);
    EXPECT_EQ(list.selected, 1);
    EXPECT_EQ(list.selectedFlag, 0x800u);

    list = ListFormats(devices, -1, 0x2);  // stored flag not offered: the first entry
    EXPECT_EQ(list.selected, 0);
    EXPECT_EQ(list.selectedFlag, 0x4u);

    // Nothing to list: empty, no selection, the stored flag kept.
    settings.maskReadable = false;
    TestCaptureDevice unreadable(settings);
    settings.formatMask = 0;
    settings.maskReadable = true;
    TestCaptureDevice silent(settings);
    for (const FormatList& empty :
         {ListFormats(silent, 0, 0x4), ListFormats(unreadable, 0, 0x4), ListFormats(devices, 5, 0x4)}) {
        EXPECT_TRUE(empty.entries.empty());
        EXPECT_EQ(empty.selected, -1);
        EXPECT_EQ(empty.selectedFlag, 0x4u);
    }
}

}  // namespace
}  // namespace Recorder
