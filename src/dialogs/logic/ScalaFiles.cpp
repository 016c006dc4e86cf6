#include "dialogs/logic/ScalaFiles.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#include "persistence/ReplacingFileWriter.h"

namespace {

std::string CannotRead(const std::filesystem::path& file) {
    return "The file " + file.string() + " could not be read.";
}

}  // namespace

ScalaImportResult ImportScalaFile(const std::filesystem::path& file) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    if (error) return {std::nullopt, CannotRead(file)};
    if (size > MaxScalaFileBytes) {
        return {std::nullopt, "The file " + file.string() + " is too large to be a scale file."};
    }
    std::ifstream in(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return {std::nullopt, CannotRead(file)};
    return ParseScalaTemperament(text);
}

std::string ExportScalaFile(const Temperament& temperament, const std::filesystem::path& file) {
    const std::string text = FormatScalaTemperament(temperament);
    ReplacingFileWriter writer(file);
    bool written = writer.Open();
    if (written) written = std::fwrite(text.data(), 1, text.size(), writer.Stream()) == text.size();
    if (written) written = writer.Commit();
    if (!written) return "The file " + file.string() + " could not be written.";
    return {};
}
