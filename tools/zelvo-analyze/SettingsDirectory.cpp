#include "SettingsDirectory.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "persistence/SettingsFiles.h"

namespace ZelvoAnalyze {

TunerSettings LoadTunerSettings(const std::string& directory) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir(directory);
    const fs::file_status status = fs::status(dir, ec);
    if (!fs::exists(status)) {
        // A folder on the way that may not be searched is not a missing one.
        if (ec && ec != std::errc::no_such_file_or_directory)
            throw std::runtime_error(directory + ": " + ec.message());
        throw std::runtime_error(directory + ": no such settings directory");
    }
    if (!fs::is_directory(status))
        throw std::runtime_error(directory +
                                 ": not a directory; --settings needs the directory of the settings files");
    // Opening the listing is what fails when the directory may not be read.
    fs::directory_iterator listing(dir, ec);
    if (ec) throw std::runtime_error(directory + ": cannot read the settings directory: " + ec.message());

    SettingsFiles files;
    LoadSettingsFiles(files, dir);
    TunerSettings settings;
    settings.middleA = files.config.MiddleA;
    settings.knownFreq = files.config.KnownFreq;
    settings.expectedFreq = files.config.ExpectedFreq;
    settings.noiseFloor = files.config.NoiseFloor;
    settings.analysisQuality = files.config.AnalysisQuality;
    settings.device = files.config.Device;
    settings.format = files.config.Format;
    settings.temperaments = files.temperaments;
    settings.stretches = files.stretches;
    return settings;
}

}  // namespace ZelvoAnalyze
