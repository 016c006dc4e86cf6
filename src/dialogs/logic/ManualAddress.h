#pragma once
// The address the About box's link and the web-address command open: the
// manual's start page. The build names it (an installed file:// address by
// default); a program run from its build tree, or copied away from its
// prefix, has the manual elsewhere, and then opens the copy it finds.

#include <filesystem>
#include <string>
#include <string_view>

namespace ManualAddress {

// The start page's name inside the manual folder, and the help book's
// project file beside it.
inline constexpr const char* StartPage = "Intro.html";
inline constexpr const char* HelpBookFile = "zelvo-tuner.hhp";
inline constexpr const char* ManualFolder = "manual";

// The address the build was configured with.
std::string Configured();

// "file://" + the absolute path, with every byte outside the unreserved
// characters and '/' percent-encoded ("/a b" → "file:///a%20b").
std::string FileUrl(const std::filesystem::path& absolutePath);

// The local path of a file:// address (percent-decoding undone); empty for
// any other address or a malformed encoding.
std::filesystem::path LocalPath(std::string_view address);

// The address to open: `configured` unless it is a file:// address whose
// file does not exist and `found` (the start page the program found among
// its resources) does; then `found` as a file:// address.
std::string Resolve(std::string_view configured, const std::filesystem::path& found);

}  // namespace ManualAddress
