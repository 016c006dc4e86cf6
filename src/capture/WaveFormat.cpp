#include "capture/WaveFormat.h"

#include <array>
#include <cstdio>

#include "capture/CaptureDevice.h"

namespace Recorder {

namespace {

// Flags go up in fours per rate: 8-bit mono, 8-bit stereo, 16-bit mono,
// 16-bit stereo; five rates make the twenty flags.
constexpr std::array<int, 5> FlagRates = {11025, 22050, 44100, 48000, 96000};

const char* RateText(int sampleRate) {
    switch (sampleRate) {
        case 11025: return "11.025 kHz";
        case 22050: return "22.05 kHz";
        case 44100: return "44.1 kHz";
        case 48000: return "48 kHz";
        case 96000: return "96 kHz";
        default: return nullptr;
    }
}

}  // namespace

WaveFormatDesc Describe(std::uint32_t flag) {
    for (int bit = 0; bit < FormatFlagCount; ++bit) {
        if (flag != (std::uint32_t{1} << bit)) continue;
        WaveFormatDesc format;
        format.sampleRate = FlagRates[static_cast<std::size_t>(bit / 4)];
        format.bitsPerSample = (bit % 4) < 2 ? 8 : 16;
        format.channels = (bit % 2) == 0 ? 1 : 2;
        return format;
    }
    return {};
}

std::string Label(const WaveFormatDesc& format) {
    if (format.sampleRate == 0) return {};
    std::string rate;
    if (const char* text = RateText(format.sampleRate)) {
        rate = text;
    } else {
        // Not one of the listed rates; still say something true about it.
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%d Hz", format.sampleRate);
        rate = buffer;
    }
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%s / %d-Bits / %s", rate.c_str(), format.bitsPerSample,
                  format.channels == 1 ? "Mono" : "Stereo");
    return buffer;
}

int BlockAlign(const WaveFormatDesc& format) {
    return format.channels * format.bitsPerSample / 8;
}

DeviceList ListDevices(ICaptureDevice& devices, int storedDevice) {
    DeviceList list;
    list.entries.push_back({PreferredDeviceText, PreferredDeviceNumber});
    // The count is asked again after each device, as devices may come and go.
    for (int d = 0; d < devices.DeviceCount(); ++d) {
        std::string name;
        if (!devices.DeviceName(static_cast<unsigned int>(d), name)) continue;
        list.entries.push_back({name, d});
    }
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        if (list.entries[i].deviceNumber == storedDevice) {
            list.selected = static_cast<int>(i);
            break;
        }
    }
    return list;
}

FormatList ListFormats(ICaptureDevice& devices, int deviceNumber, std::uint32_t storedFlag) {
    FormatList list;
    list.selectedFlag = storedFlag;
    std::uint32_t mask = 0;
    if (!devices.FormatMask(static_cast<unsigned int>(deviceNumber), mask)) return list;
    for (std::uint32_t flag = FirstFormatFlag; flag <= LastFormatFlag; flag <<= 1) {
        if ((mask & flag) == 0) continue;
        list.entries.push_back({Label(Describe(flag)), flag});
        if (flag == storedFlag) list.selected = static_cast<int>(list.entries.size()) - 1;
    }
    if (list.entries.empty()) return list;
    if (list.selected < 0) list.selected = 0;
    list.selectedFlag = list.entries[static_cast<std::size_t>(list.selected)].flag;
    return list;
}

void Convert(int bitsPerSample, int channels, int frameCount, const std::uint8_t* source,
             double* destination) {
    if (frameCount <= 0) return;
    const auto word = [source](int index) {
        // Little-endian signed 16-bit word, independent of the host's byte order.
        const auto low = static_cast<unsigned>(source[2 * index]);
        const auto high = static_cast<unsigned>(source[2 * index + 1]);
        return static_cast<int>(static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8))));
    };
    if (bitsPerSample == 8 && channels == 1) {
        for (int i = 0; i < frameCount; ++i) destination[i] = (source[i] - 128) / 256.0;
    } else if (bitsPerSample == 8 && channels == 2) {
        for (int i = 0; i < frameCount; ++i)
            destination[i] = (source[2 * i] + source[2 * i + 1] - 256) / 128.0;
    } else if (bitsPerSample == 16 && channels == 1) {
        for (int i = 0; i < frameCount; ++i) destination[i] = word(i) / 32768.0;
    } else if (bitsPerSample == 16 && channels == 2) {
        for (int i = 0; i < frameCount; ++i) destination[i] = (word(2 * i) + word(2 * i + 1)) / 16384.0;
    } else {
        for (int i = 0; i < frameCount; ++i) destination[i] = 0.0;
    }
}

}  // namespace Recorder
