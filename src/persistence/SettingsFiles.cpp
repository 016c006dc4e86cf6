#include "persistence/SettingsFiles.h"

#include "persistence/ConfigFile.h"
#include "persistence/ListFiles.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string_view>
#include <system_error>

std::filesystem::path DefaultSettingsDirectory() {
#if defined(_WIN32)
    std::error_code error;
    std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::filesystem::path(".") : current;
#else
    // Read once per call; nothing here is cached or modified.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/')
        return std::filesystem::path(xdg) / "zelvo-tuner";
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
        return std::filesystem::path(home) / ".config" / "zelvo-tuner";
    return std::filesystem::path(".");
#endif
}

void LoadSettingsFiles(SettingsFiles& settings, const std::filesystem::path& directory) {
    LoadConfig(settings.config, directory / ConfigFileName);
    LoadPresetList(settings.presets, directory / PresetFileName);
    LoadTemperamentList(settings.temperaments, directory / TemperamentFileName);
    LoadStretchList(settings.stretches, directory / StretchFileName);
}

bool LoadSettingsFilesOrDefaults(SettingsFiles& settings, const std::filesystem::path& directory) {
    try {
        LoadSettingsFiles(settings, directory);
        return true;
    } catch (const std::bad_alloc&) {
        settings = SettingsFiles{};
        return false;
    }
}

namespace {

// Whether name is one of the settings files plus ".tmp-XXXXXX", the name
// mkstemp gives a save's temporary file (six letters or digits).
bool IsLeftoverTemporaryName(std::string_view name) {
    constexpr std::string_view kSuffix = ".tmp-";
    constexpr std::size_t kRandomChars = 6;
    for (const char* file : {ConfigFileName, PresetFileName, TemperamentFileName, StretchFileName}) {
        const std::string_view base(file);
        if (name.size() != base.size() + kSuffix.size() + kRandomChars) continue;
        if (name.substr(0, base.size()) != base || name.substr(base.size(), kSuffix.size()) != kSuffix)
            continue;
        const std::string_view random = name.substr(base.size() + kSuffix.size());
        return std::all_of(random.begin(), random.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        });
    }
    return false;
}

}  // namespace

int RemoveLeftoverTemporaryFiles(const std::filesystem::path& directory) {
    int removed = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        // symlink_status: a link with such a name is not one of ours.
        if (!IsLeftoverTemporaryName(it->path().filename().string())) continue;
        std::error_code ignored;
        if (!std::filesystem::is_regular_file(it->symlink_status(ignored))) continue;
        if (std::filesystem::remove(it->path(), ignored)) ++removed;
    }
    return removed;
}

SettingsSaveResult SaveSettingsFiles(const SettingsFiles& settings, const std::filesystem::path& directory) {
    SettingsSaveResult result;
    // The directory is created on the first save. If that fails, the saves
    // below fail too and report their files.
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);

    // Every file is attempted even when an earlier one failed: the lists do
    // not depend on the configuration.
    if (!SaveConfig(settings.config, directory / ConfigFileName))
        result.failedFiles.emplace_back(ConfigFileName);
    if (!SavePresetList(settings.presets, directory / PresetFileName))
        result.failedFiles.emplace_back(PresetFileName);
    if (!SaveTemperamentList(settings.temperaments, directory / TemperamentFileName))
        result.failedFiles.emplace_back(TemperamentFileName);
    if (!SaveStretchList(settings.stretches, directory / StretchFileName))
        result.failedFiles.emplace_back(StretchFileName);
    result.message = SaveFailureMessage(result.failedFiles);
    return result;
}

std::string SaveFailureMessage(const std::vector<std::string>& failedFiles) {
    if (failedFiles.empty()) return {};
    if (failedFiles.size() == 1)
        return "Unable to save the settings file " + failedFiles.front() + ". The previous file was kept.";
    std::string names;
    for (const std::string& name : failedFiles) {
        if (!names.empty()) names += ", ";
        names += name;
    }
    return "Unable to save the settings files " + names + ". The previous files were kept.";
}
