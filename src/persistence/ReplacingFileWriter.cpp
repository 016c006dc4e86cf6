#include "persistence/ReplacingFileWriter.h"

#include <algorithm>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Where a save of target may write, or empty when it must not write at all.
// A settings file that is a symbolic link (to a file kept in a subfolder,
// say) is replaced where the link points, so the link itself survives; but
// only when the link ends at a regular file or at a name not there yet, inside
// the folder the link lies in. A link to a device, a FIFO, a directory or
// anywhere outside that folder is never written through: run by root, a
// replaced /dev node or system file would do real harm. A target that is
// itself neither a link nor a regular file is not replaced either.
std::filesystem::path WritableTarget(const std::filesystem::path& target) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::file_status status = fs::symlink_status(target, error);
    if (!fs::is_symlink(status))
        return fs::exists(status) && !fs::is_regular_file(status) ? fs::path() : target;

    // Follow the chain of links by hand: a dangling link must resolve to its
    // target's name, not to the link itself.
    constexpr int kMaxLinks = 40;  // the kernel's own limit for a path lookup
    fs::path current = target;
    for (int links = 0; fs::is_symlink(status); ++links) {
        const fs::path next = fs::read_symlink(current, error);
        if (error || links == kMaxLinks) return {};
        current = next.is_absolute() ? next : current.parent_path() / next;
        status = fs::symlink_status(current, error);
        if (error && error != std::errc::no_such_file_or_directory) return {};
    }
    if (fs::exists(status) && !fs::is_regular_file(status)) return {};

    const fs::path folder = fs::canonical(target.has_parent_path() ? target.parent_path() : ".", error);
    if (error) return {};
    fs::path resolved = fs::weakly_canonical(current, error);
    if (error) return {};
    const auto [inFolder, inResolved] =
        std::mismatch(folder.begin(), folder.end(), resolved.begin(), resolved.end());
    if (inFolder != folder.end() || inResolved == resolved.end()) return {};
    return resolved;
}

}  // namespace

ReplacingFileWriter::ReplacingFileWriter(const std::filesystem::path& target)
    : target_(WritableTarget(target)) {}

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
    if (stream_ != nullptr || target_.empty()) return false;
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
    // A file the user marked read-only is not replaced: Windows itself
    // refuses to, but not every implementation of its API does (Wine).
    std::error_code error;
    const auto status = std::filesystem::status(target_, error);
    if (!error && std::filesystem::exists(status) &&
        (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none) {
        Discard();
        return false;
    }
    // std::filesystem::rename replaces an existing file on Windows as well.
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
    if (stream_ != nullptr || target_.empty()) return false;
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
