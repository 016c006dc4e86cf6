#include "persistence/XmlFile.h"

#include "persistence/ReplacingFileWriter.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Only a regular file counts as a settings file. Opening does not block, so
// a FIFO or a device put in a file's place cannot stall start-up; anything
// that is not a regular file is treated as missing. A file too large to be
// one of ours is reported through tooLarge without being read.
FileHandle OpenForReading(const std::filesystem::path& file, bool& tooLarge) {
    tooLarge = false;
#if defined(_WIN32)
    return FileHandle(_wfopen(file.c_str(), L"r"));
#else
    const int fd = open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > XmlMaxDocumentBytes) {
        close(fd);
        tooLarge = true;
        return nullptr;
    }
    FileHandle stream(fdopen(fd, "r"));
    if (!stream) close(fd);
    return stream;
#endif
}

}  // namespace

std::optional<XmlReadResult> ReadXmlFile(const std::filesystem::path& file, const ElementHandler& handler,
                                         void* userData) {
    bool tooLarge = false;
    FileHandle stream = OpenForReading(file, tooLarge);
    if (tooLarge) return XmlReadLimitExceeded;
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
