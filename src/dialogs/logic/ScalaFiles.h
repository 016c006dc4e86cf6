#pragma once
// Reading and writing Scala scale files (.scl) for the temperament editor:
// the file side of ParseScalaTemperament / FormatScalaTemperament, with the
// failures phrased for the user.

#include <cstddef>
#include <filesystem>
#include <string>

#include "tuning/ScalaScale.h"

// Scale files are a few hundred bytes; anything far larger is not one.
inline constexpr std::size_t MaxScalaFileBytes = 1024 * 1024;

// Reads and parses the file; the error says why nothing was read.
ScalaImportResult ImportScalaFile(const std::filesystem::path& file);

// Writes the temperament as a scale, replacing the file only when the whole
// text was written. Returns "" on success, otherwise the reason.
std::string ExportScalaFile(const Temperament& temperament, const std::filesystem::path& file);
