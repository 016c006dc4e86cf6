// The three list files: "tuner_presets.xml", "tuner_temperament.xml" and
// "tuner_stretch.xml". Each holds a root with Version "3" and the list's
// selections, then one element per entry in list order.
//
// Reading is tolerant: entries read before a syntax error stay in the list,
// a missing file or a wrong Version leaves the list empty, and the selection
// values change only when the file supplies new ones. A list keeps at most
// MaxListEntries entries (reading stops there, as at a syntax error); an
// entry read from a file holds exactly the offsets the file gives, offsets
// beyond MaxOffsetCents are dropped.
#pragma once

#include "persistence/XmlReader.h"
#include "persistence/XmlWriter.h"
#include "tuning/Preset.h"
#include "tuning/Temperament.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

inline constexpr const char* PresetFileName = "tuner_presets.xml";
inline constexpr const char* TemperamentFileName = "tuner_temperament.xml";
inline constexpr const char* StretchFileName = "tuner_stretch.xml";

inline constexpr std::size_t MaxListEntries = 1000;

// Writing: the whole list, selections written as stored even when they do
// not fit the list. Save* returns false when the file could not be written;
// the previous file is then unchanged.
void WritePresetDocument(const PresetList& list, XmlWriter& writer);
void WriteTemperamentDocument(const TemperamentList& list, XmlWriter& writer);
void WriteStretchDocument(const StretchList& list, XmlWriter& writer);
std::string PresetDocumentText(const PresetList& list);
std::string TemperamentDocumentText(const TemperamentList& list);
std::string StretchDocumentText(const StretchList& list);
bool SavePresetList(const PresetList& list, const std::filesystem::path& file);
bool SaveTemperamentList(const TemperamentList& list, const std::filesystem::path& file);
bool SaveStretchList(const StretchList& list, const std::filesystem::path& file);

// Reading: empties the list's entries, then fills them from the file.
void LoadPresetList(PresetList& list, const std::filesystem::path& file);
void LoadTemperamentList(TemperamentList& list, const std::filesystem::path& file);
void LoadStretchList(StretchList& list, const std::filesystem::path& file);
// The same from a document in memory; returns the reader's result (which
// the loaders do not examine).
XmlReadResult ReadPresetDocument(PresetList& list, std::string_view document);
XmlReadResult ReadTemperamentDocument(TemperamentList& list, std::string_view document);
XmlReadResult ReadStretchDocument(StretchList& list, std::string_view document);

// The handlers, with the list as user data.
bool PresetElementHandler(const std::string& name, const ElementContext& context, void* list);
bool TemperamentElementHandler(const std::string& name, const ElementContext& context, void* list);
bool StretchElementHandler(const std::string& name, const ElementContext& context, void* list);
