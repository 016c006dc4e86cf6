#include "persistence/ReplacingFileWriter.h"

#include <string>
#include <system_error>
#include <utility>

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

ReplacingFileWriter::ReplacingFileWriter(std::filesystem::path target) : target_(std::move(target)) {
    // A settings file that is a symbolic link (kept in a dotfiles folder, say)
    // is replaced where the link points, so the link itself survives.
    std::error_code error;
    if (std::filesystem::is_symlink(target_, error)) {
        std::filesystem::path resolved = std::filesystem::weakly_canonical(target_, error);
        if (!error) target_ = std::move(resolved);
    }
}

ReplacingFileWriter::~ReplacingFileWriter() {
    Discard();
}

void ReplacingFileWriter::Discard() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
        temporary_.clear();
    }
}

#if defined(_WIN32)

bool ReplacingFileWriter::Open() {
    if (stream_ != nullptr) return false;
    temporary_ = target_;
    temporary_ += L".tmp";
    stream_ = _wfopen(temporary_.c_str(), L"w");
    if (stream_ == nullptr) {
        temporary_.clear();
        return false;
    }
    return true;
}

bool ReplacingFileWriter::Commit() {
    if (stream_ == nullptr) return false;
    bool ok = std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
    ok = ok && _commit(_fileno(stream_)) == 0;
    ok = (std::fclose(stream_) == 0) && ok;
    stream_ = nullptr;
    if (!ok) {
        Discard();
        return false;
    }
    // std::filesystem::rename replaces an existing file on Windows as well.
    std::error_code error;
    std::filesystem::rename(temporary_, target_, error);
    if (error) {
        Discard();
        return false;
    }
    temporary_.clear();
    return true;
}

#else

bool ReplacingFileWriter::Open() {
    if (stream_ != nullptr) return false;
    // mkstemp picks a name that does not exist yet, so two savers never
    // share a temporary file.
    std::string pattern = target_.string() + ".tmp-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) return false;
    temporary_ = pattern;
    // mkstemp creates the file readable by the owner only. The new file
    // takes over the permissions of the file it replaces, or the usual
    // rw-r--r-- for a first save. (Reading the umask would mean changing it,
    // which is process-wide and not thread-safe.)
    struct stat existing {};
    const mode_t mode = stat(target_.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
    fchmod(fd, mode);
    stream_ = fdopen(fd, "w");
    if (stream_ == nullptr) {
        close(fd);
        Discard();
        return false;
    }
    return true;
}

bool ReplacingFileWriter::Commit() {
    if (stream_ == nullptr) return false;
    bool ok = std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
    ok = ok && fsync(fileno(stream_)) == 0;
    ok = (std::fclose(stream_) == 0) && ok;
    stream_ = nullptr;
    if (!ok || std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Discard();
        return false;
    }
    temporary_.clear();
    // Sync the directory too, so the rename itself survives a power cut.
    // A failure here leaves a complete file either way, so it is ignored.
    std::filesystem::path directory = target_.parent_path();
    if (directory.empty()) directory = ".";
    const int dirFd = open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

#endif
