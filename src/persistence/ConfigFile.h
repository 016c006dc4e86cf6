// The configuration file "tuner_config.xml": the ConfigRecord as a fixed
// 42-line document, and its tolerant reading.
#pragma once

#include "persistence/ConfigRecord.h"
#include "persistence/XmlReader.h"
#include "persistence/XmlWriter.h"

#include <filesystem>
#include <string>
#include <string_view>

inline constexpr const char* ConfigFileName = "tuner_config.xml";

// Writes the whole record, every group with all its leaves, in the file's
// fixed element order.
void WriteConfigDocument(const ConfigRecord& config, XmlWriter& writer);
// The document as text.
std::string ConfigDocumentText(const ConfigRecord& config);
// Writes the file, replacing the old one only once the new one is complete.
// False when it could not be written (the old file is then unchanged).
bool SaveConfig(const ConfigRecord& config, const std::filesystem::path& file);

// Reads the file into config. A missing file changes nothing. A file that is
// damaged anywhere or has a Version other than "2" changes nothing either,
// not even the values read before the problem. After a successful read,
// values outside their meaningful ranges fall back to their defaults
// (ApplyConfigFallbacks). The record is always left usable.
void LoadConfig(ConfigRecord& config, const std::filesystem::path& file);
// The same for a document held in memory; returns the reader's result.
XmlReadResult ReadConfigDocument(ConfigRecord& config, std::string_view document);

// The handler that stores the known elements into the ConfigRecord passed as
// user data; false for a TunerConfig whose Version is not exactly "2".
bool ConfigElementHandler(const std::string& name, const ElementContext& context, void* record);
