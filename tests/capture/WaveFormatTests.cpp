#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "TestCaptureDevice.h"
#include "capture/WaveFormat.h"

namespace Recorder {
namespace {

TEST(WaveFormatDescribe, MapsEveryFlagOfTheTable) {
    const int rates[] = {11025, 22050, 44100, 48000, 96000};
    std::uint32_t flag = 0x1;
    for (int rate : rates) {
        for (int bits : {8, 16}) {
            for (int channels : {1, 2}) {
                EXPECT_EQ(Describe(flag), (WaveFormatDesc{channels, bits, rate})) << std::hex << flag;
                flag <<= 1;
            }
        }
    }
    EXPECT_EQ(flag, 0x100000u);
}

TEST(WaveFormatDescribe, AnythingButOneFlagIsTheZeroDescriptor) {
    for (std::uint32_t value : {0x0u, 0x3u, 0x5u, 0x100000u, 0x80001u, 0xFFFFFFFFu}) {
        EXPECT_EQ(Describe(value), WaveFormatDesc{}) << std::hex << value;
    }
    EXPECT_EQ(Label(Describe(0x3)), "");
}

TEST(WaveFormatLabel, ReadsRateBitsAndChannels) {
    EXPECT_EQ(Label(Describe(0x4)), "11.025 kHz / 16-Bits / Mono");
    EXPECT_EQ(Label(Describe(0x800)), "44.1 kHz / 16-Bits / Stereo");
    EXPECT_EQ(Label(Describe(0x10)), "22.05 kHz / 8-Bits / Mono");
    EXPECT_EQ(Label(Describe(0x2000)), "48 kHz / 8-Bits / Stereo");
    EXPECT_EQ(Label(Describe(0x80000)), "96 kHz / 16-Bits / Stereo");
    EXPECT_EQ(Label(WaveFormatDesc{1, 16, 0}), "");
}

TEST(WaveFormatConvert, EightBitMono) {
    const std::uint8_t bytes[] = {128, 0, 255, 192};
    double out[4];
    Convert(8, 1, 4, bytes, out);
    EXPECT_DOUBLE_EQ(out[0], 0.0);
    EXPECT_DOUBLE_EQ(out[1], -0.5);
    EXPECT_DOUBLE_EQ(out[2], 127.0 / 256.0);
    EXPECT_DOUBLE_EQ(out[3], 0.25);
}

TEST(WaveFormatConvert, EightBitStereoSumsBothChannels) {
    const std::uint8_t bytes[] = {128, 128, 0, 0, 255, 255, 192, 64};
    double out[4];
    Convert(8, 2, 4, bytes, out);
    EXPECT_DOUBLE_EQ(out[0], 0.0);
    EXPECT_DOUBLE_EQ(out[1], -2.0);
    EXPECT_DOUBLE_EQ(out[2], 254.0 / 128.0);
    EXPECT_DOUBLE_EQ(out[3], 0.0);
}

TEST(WaveFormatConvert, SixteenBitMonoIsLittleEndianSigned) {
    const std::vector<std::uint8_t> bytes = Pcm16Bytes({0, -32768, 32767, 16384, -1});
    double out[5];
    Convert(16, 1, 5, bytes.data(), out);
    EXPECT_DOUBLE_EQ(out[0], 0.0);
    EXPECT_DOUBLE_EQ(out[1], -1.0);
    EXPECT_DOUBLE_EQ(out[2], 32767.0 / 32768.0);
    EXPECT_DOUBLE_EQ(out[3], 0.5);
    EXPECT_DOUBLE_EQ(out[4], -1.0 / 32768.0);
}

TEST(WaveFormatConvert, SixteenBitStereoReadsFourTimesTheMonoScale) {
    const std::vector<std::uint8_t> bytes =
        Pcm16Bytes({16384, 16384, 16384, -16384, -32768, -32768, 32767, 32767});
    double out[4];
    Convert(16, 2, 4, bytes.data(), out);
    EXPECT_DOUBLE_EQ(out[0], 2.0);
    EXPECT_DOUBLE_EQ(out[1], 0.0);
    EXPECT_DOUBLE_EQ(out[2], -4.0);
    EXPECT_DOUBLE_EQ(out[3], 65534.0 / 16384.0);
}

TEST(WaveFormatConvert, UnknownLayoutGivesSilenceAndZeroFramesWritesNothing) {
    const std::uint8_t bytes[6] = {1, 2, 3, 4, 5, 6};
    double out[2] = {9.0, 9.0};
    Convert(24, 1, 2, bytes, out);
    EXPECT_EQ(out[0], 0.0);
    EXPECT_EQ(out[1], 0.0);
    out[0] = 9.0;
    Convert(16, 1, 0, bytes, out);
    EXPECT_EQ(out[0], 9.0);
}

TEST(DeviceList, PreferredDeviceFirstThenTheDevicesInOrder) {
    TestCaptureDevice::Settings settings;
    settings.deviceNames = {"Line In", "USB Microphone"};
    TestCaptureDevice devices(settings);

    const DeviceList list = ListDevices(devices, 1);
    ASSERT_EQ(list.entries.size(), 3u);
    EXPECT_EQ(list.entries[0].text, "Preferred Recording Device");
    EXPECT_EQ(list.entries[0].deviceNumber, -1);
    EXPECT_EQ(list.entries[1].text, "Line In");
    EXPECT_EQ(list.entries[1].deviceNumber, 0);
    EXPECT_EQ(list.entries[2].text, "USB Microphone");
    EXPECT_EQ(list.entries[2].deviceNumber, 1);
    EXPECT_EQ(list.selected, 2);

    EXPECT_EQ(ListDevices(devices).selected, 0);        // default: the preferred device
    EXPECT_EQ(ListDevices(devices, 7).selected, -1);    // stored device is gone: no selection
}

TEST(DeviceList, NoDevicesLeavesOnlyThePreferredEntry) {
    TestCaptureDevice::Settings settings;
    settings.deviceNames = {};
    TestCaptureDevice devices(settings);
    const DeviceList list = ListDevices(devices, -1);
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.selected, 0);
    EXPECT_TRUE(ListFormats(devices, -1, 0x4).entries.empty());
}

TEST(FormatList, ListsTheMaskLowestFlagFirstAndKeepsTheStoredFlag) {
    TestCaptureDevice::Settings settings;
    settings.formatMask = 0x4 | 0x400 | 0x800 | 0x40000;
    TestCaptureDevice devices(settings);

    const FormatList list = ListFormats(devices, 0, 0x800);
    ASSERT_EQ(list.entries.size(), 4u);
    EXPECT_EQ(list.entries[0].flag, 0x4u);
    EXPECT_EQ(list.entries[0].label, "11.025 kHz / 16-Bits / Mono");
    EXPECT_EQ(list.entries[2].label, "44.1 kHz / 16-Bits / Stereo");
    EXPECT_EQ(list.entries[3].flag, 0x40000u);
    EXPECT_EQ(list.selected, 2);
    EXPECT_EQ(list.selectedFlag, 0x800u);
}

TEST(FormatList, StoredFlagMissingSelectsTheFirstEntry) {
    TestCaptureDevice::Settings settings;
    settings.formatMask = 0x400 | 0x4000;
    TestCaptureDevice devices(settings);
    const FormatList list = ListFormats(devices, -1, 0x4);
    EXPECT_EQ(list.selected, 0);
    EXPECT_EQ(list.selectedFlag, 0x400u);
}

TEST(FormatList, EmptyMaskOrUnreadableDeviceGivesAnEmptyListAndKeepsTheStoredFlag) {
    TestCaptureDevice::Settings settings;
    settings.formatMask = 0;
    TestCaptureDevice silent(settings);
    FormatList list = ListFormats(silent, 0, 0x4);
    EXPECT_TRUE(list.entries.empty());
    EXPECT_EQ(list.selected, -1);
    EXPECT_EQ(list.selectedFlag, 0x4u);

    settings.formatMask = 0xFFFFF;
    settings.maskReadable = false;
    TestCaptureDevice unreadable(settings);
    EXPECT_TRUE(ListFormats(unreadable, 0, 0x4).entries.empty());
    EXPECT_TRUE(ListFormats(silent, 5, 0x4).entries.empty());  // no such device
}

TEST(FormatList, BitsAboveTheTwentyFlagsAreIgnored) {
    TestCaptureDevice::Settings settings;
    settings.formatMask = 0xFFF00000u | 0x1;
    TestCaptureDevice devices(settings);
    const FormatList list = ListFormats(devices, 0);
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].flag, 0x1u);
}

}  // namespace
}  // namespace Recorder
