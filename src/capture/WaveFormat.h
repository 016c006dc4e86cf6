#pragma once
// Capture formats: the twenty format flags of a device's capability mask, the
// descriptor each flag stands for, the text it is listed under, the device and
// format lists, and the conversion of captured PCM bytes to mono doubles.

#include <cstdint>
#include <string>
#include <vector>

namespace Recorder {

class ICaptureDevice;

// Channels, bits per sample and sample rate of a PCM capture format.
// The all-zero descriptor means "no valid format".
struct WaveFormatDesc {
    int channels = 0;
    int bitsPerSample = 0;
    int sampleRate = 0;

    bool operator==(const WaveFormatDesc&) const = default;
};

// Device number of the system's preferred recording device (all bits set;
// -1 when stored as a signed int).
inline constexpr unsigned int WaveMapperDeviceId = 0xFFFFFFFFu;
inline constexpr int PreferredDeviceNumber = -1;
inline constexpr const char* PreferredDeviceText = "Preferred Recording Device";

// The lowest and highest format flag; every flag in between is a power of two.
inline constexpr std::uint32_t FirstFormatFlag = 0x1;
inline constexpr std::uint32_t LastFormatFlag = 0x80000;
inline constexpr int FormatFlagCount = 20;

// The descriptor of one format flag; 0 and any value that is not exactly one
// of the twenty flags give the all-zero descriptor.
WaveFormatDesc Describe(std::uint32_t flag);

// "44.1 kHz / 16-Bits / Stereo"; the empty string when sampleRate is 0.
std::string Label(const WaveFormatDesc& format);

// Bytes in one sample frame of the format (channels * bitsPerSample / 8).
int BlockAlign(const WaveFormatDesc& format);

// One row of the device list: the text shown and the device number
// (-1 for the preferred device, else 0..count-1).
struct DeviceEntry {
    std::string text;
    int deviceNumber = PreferredDeviceNumber;
};

// One row of the format list: its label and its format flag.
struct FormatEntry {
    std::string label;
    std::uint32_t flag = 0;
};

// The device list: "Preferred Recording Device" (-1) first, then every input
// device of the capture layer. `selected` is the index of the entry whose
// device number equals storedDevice, or -1 when none matches (then the format
// list is meant to stay empty).
struct DeviceList {
    std::vector<DeviceEntry> entries;
    int selected = -1;
};
DeviceList ListDevices(ICaptureDevice& devices, int storedDevice = PreferredDeviceNumber);

// The format list of one device: every flag of its capability mask, lowest
// first. `selected` is the entry of storedFlag when present, else the first
// entry, else -1 for an empty list; `selectedFlag` is the flag of the selected
// entry, i.e. the value that becomes the stored flag (storedFlag unchanged when
// the list is empty). A device whose mask cannot be read gives an empty list.
struct FormatList {
    std::vector<FormatEntry> entries;
    int selected = -1;
    std::uint32_t selectedFlag = 0;
};
FormatList ListFormats(ICaptureDevice& devices, int deviceNumber, std::uint32_t storedFlag = 0);

// Converts frameCount sample frames of PCM (8-bit unsigned or 16-bit signed
// little-endian, mono or interleaved stereo) into frameCount mono doubles.
// The four layouts keep their own scales, on purpose not normalised:
//   8-bit mono    (b - 128) / 256           -0.5 .. 0.496
//   8-bit stereo  (l + r - 256) / 128       -2   .. 1.98
//   16-bit mono   s / 32768                 -1   .. 0.99997
//   16-bit stereo (l + r) / 16384           -4   .. 3.9999
// Any other bit depth or channel count writes zeros.
void Convert(int bitsPerSample, int channels, int frameCount, const std::uint8_t* source,
             double* destination);

}  // namespace Recorder
