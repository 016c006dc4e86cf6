// Writes a file so that its previous contents survive any failure.
//
// The new contents go to a temporary file in the target's directory, which is
// flushed and synced to disk and then renamed over the target in one step.
// Until Commit succeeds the target is not touched; a writer that is discarded
// without a successful Commit removes its temporary file. A target that is a
// symbolic link is written where the link points, but only onto a regular
// file or a new name inside the link's own folder; any other link, and a
// target that is neither a link nor a regular file, makes Open fail.
#pragma once

#include <cstdio>
#include <filesystem>

class ReplacingFileWriter {
public:
    explicit ReplacingFileWriter(const std::filesystem::path& target);
    ~ReplacingFileWriter();

    ReplacingFileWriter(const ReplacingFileWriter&) = delete;
    ReplacingFileWriter& operator=(const ReplacingFileWriter&) = delete;

    // Creates the temporary file; false when it cannot be created or the
    // target may not be written (see above).
    bool Open();
    // The stream to write the new contents to (text mode); null before Open.
    std::FILE* Stream() const { return stream_; }
    // Flushes, syncs and closes the temporary file and renames it over the
    // target. False when any step failed; the target is then unchanged.
    bool Commit();

    // The file that is replaced (a link's target), empty when the requested
    // path may not be written.
    const std::filesystem::path& Target() const { return target_; }

private:
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::FILE* stream_ = nullptr;
};
