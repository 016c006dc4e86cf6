// A fresh directory for one test, removed with everything in it afterwards,
// and whole-file helpers for checking what was written.
#pragma once

#include <filesystem>
#include <string>

class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The whole file as bytes ("" when it cannot be read).
std::string ReadWholeFile(const std::filesystem::path& file);
// The whole file read in text mode: the platform's line ends (CR LF on
// Windows) come back as "\n", so a file written in text mode compares
// equal to the text that was written.
std::string ReadWholeTextFile(const std::filesystem::path& file);
void WriteWholeFile(const std::filesystem::path& file, const std::string& text);
