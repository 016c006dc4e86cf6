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

FileHandle OpenForReading(const std::filesystem::path& file)
{
#if defined(_WIN32)
    return FileHandle(_wfopen(file.c_str(), L"r"));
#else
    return FileHandle(std::fopen(file.c_str(), "r"));
#endif
}

} // namespace

std::optional<XmlReadResult> ReadXmlFile(const std::filesystem::path& file,
                                         const ElementHandler& handler, void* userData)
{
    FileHandle stream = OpenForReading(file);
    if (!stream)
        return std::nullopt;
    return XmlReader(stream.get(), handler, userData);
}

bool WriteXmlFile(const std::filesystem::path& file,
                  const std::function<void(XmlWriter&)>& writeDocument)
{
    ReplacingFileWriter output(file);
    if (!output.Open())
        return false;
    {
        XmlWriter writer(output.Stream());
        writeDocument(writer);
    }
    return output.Commit();
}

std::string XmlDocumentText(const std::function<void(XmlWriter&)>& writeDocument)
{
    // A temporary stream keeps the writer's one code path for files.
    FileHandle stream(std::tmpfile());
    if (!stream)
        return {};
    {
        XmlWriter writer(stream.get());
        writeDocument(writer);
    }
    std::string text;
    std::fflush(stream.get());
    std::rewind(stream.get());
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, stream.get())) > 0)
        text.append(buffer, n);
    return text;
}
