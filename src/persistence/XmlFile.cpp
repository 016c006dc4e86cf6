#include "persistence/XmlFile.h"

#include "persistence/ReplacingFileWriter.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

FileHandle OpenForReading(const std::filesystem::path& file) {
#if defined(_WIN32)
    return FileHandle(_wfopen(file.c_str(), L"r"));
#else
    return FileHandle(std::fopen(file.c_str(), "r"));
#endif
}

}  // namespace

std::optional<XmlReadResult> ReadXmlFile(const std::filesystem::path& file, const ElementHandler& handler,
                                         void* userData) {
    FileHandle stream = OpenForReading(file);
    if (!stream) return std::nullopt;
    return XmlReader(stream.get(), handler, userData);
}

bool WriteXmlFile(const std::filesystem::path& file, const std::function<void(XmlWriter&)>& writeDocument) {
    ReplacingFileWriter output(file);
    if (!output.Open()) return false;
    {
        XmlWriter writer(output.Stream());
        writeDocument(writer);
    }
    return output.Commit();
}

std::string XmlDocumentText(const std::function<void(XmlWriter&)>& writeDocument) {
    std::string text;
    XmlWriter writer(text);
    writeDocument(writer);
    return text;
}
