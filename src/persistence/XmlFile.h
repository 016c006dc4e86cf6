// Reading and writing whole XML documents as files.
#pragma once

#include "persistence/XmlReader.h"
#include "persistence/XmlWriter.h"

#include <filesystem>
#include <functional>
#include <optional>

// Opens file for reading in text mode ("r"), reads it with XmlReader and
// closes it. Empty when the file cannot be opened or is not a regular file
// (a FIFO or device is never waited for); XmlReadLimitExceeded without
// reading anything when it is larger than XmlMaxDocumentBytes.
std::optional<XmlReadResult> ReadXmlFile(const std::filesystem::path& file, const ElementHandler& handler,
                                         void* userData);

// Writes the document that writeDocument produces to file without ever
// destroying the previous file: the document goes to a temporary file in the
// same directory that replaces the old one only once it is complete and on
// disk. False when the file could not be written; the old file is then
// unchanged.
bool WriteXmlFile(const std::filesystem::path& file, const std::function<void(XmlWriter&)>& writeDocument);

// The document writeDocument produces, as text (for checks and tools).
std::string XmlDocumentText(const std::function<void(XmlWriter&)>& writeDocument);
