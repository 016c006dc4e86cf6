// The four settings files as one object: the configuration, the note presets,
// the temperaments and the stretch tables. They lie together in one
// directory and are always read and written in that order.
#pragma once

#include "persistence/ConfigRecord.h"
#include "tuning/Preset.h"
#include "tuning/Temperament.h"

#include <filesystem>
#include <string>
#include <vector>

// What the main window owns and keeps between runs.
struct SettingsFiles {
    ConfigRecord config;
    PresetList presets;
    TemperamentList temperaments;
    StretchList stretches;

    bool operator==(const SettingsFiles&) const = default;
};

// The outcome of a save: which files could not be written (their previous
// versions were kept) and a message for the user, empty when all went well.
struct SettingsSaveResult {
    std::vector<std::string> failedFiles;
    std::string message;

    bool Ok() const { return failedFiles.empty(); }
};

// Where the files lie by default: on Linux $XDG_CONFIG_HOME/zelvo-tuner
// (~/.config/zelvo-tuner when the variable is unset or not absolute); on
// Windows the current directory.
std::filesystem::path DefaultSettingsDirectory();

// Reads the four files from directory into settings: the configuration
// (missing or rejected: the record is unchanged), then the presets,
// temperaments and stretch tables (each list's entries are replaced by what
// its file holds; missing file: empty). Never fails.
void LoadSettingsFiles(SettingsFiles& settings, const std::filesystem::path& directory);

// LoadSettingsFiles for start-up, which must go on whatever the files hold:
// when memory runs out while they are read, settings is put back to the
// defaults and false is returned, so the caller can say so
// (SettingsLoadFailureMessage).
bool LoadSettingsFilesOrDefaults(SettingsFiles& settings, const std::filesystem::path& directory);
inline constexpr const char* SettingsLoadFailureMessage =
    "The settings files could not be read: not enough memory. The default settings are used.";

// Removes the temporary files that saves killed before their end left in
// directory: regular files named after one of the four settings files plus
// ".tmp-" and six letters or digits (the pattern the saves create), nothing
// else. Called by the window at start-up; returns how many were removed.
int RemoveLeftoverTemporaryFiles(const std::filesystem::path& directory);

// Writes the four files into directory, creating it when needed. Each file
// is replaced only once its new version is complete on disk; a file that
// cannot be written keeps its previous version and is named in the result.
SettingsSaveResult SaveSettingsFiles(const SettingsFiles& settings, const std::filesystem::path& directory);

// The user message for files that could not be saved, e.g. "Unable to save
// the settings file tuner_config.xml. The previous file was kept."
std::string SaveFailureMessage(const std::vector<std::string>& failedFiles);
