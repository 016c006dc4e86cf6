#include "dialogs/logic/ManualAddress.h"

#include <system_error>

#ifndef ZELVO_MANUAL_URL
#define ZELVO_MANUAL_URL ""
#endif

namespace ManualAddress {

namespace {

constexpr std::string_view FileScheme = "file://";

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string Configured() {
    return ZELVO_MANUAL_URL;
}

std::string FileUrl(const std::filesystem::path& absolutePath) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string url(FileScheme);
    for (const char c : absolutePath.generic_string()) {
        const auto byte = static_cast<unsigned char>(c);
        if (Unreserved(byte)) {
            url += c;
        } else {
            url += '%';
            url += Hex[byte >> 4];
            url += Hex[byte & 0x0F];
        }
    }
    return url;
}

std::filesystem::path LocalPath(std::string_view address) {
    if (address.substr(0, FileScheme.size()) != FileScheme) return {};
    std::string_view rest = address.substr(FileScheme.size());
    // "file://localhost/x" names the same file as "file:///x".
    if (rest.substr(0, 9) == "localhost") rest.remove_prefix(9);
    if (rest.empty() || rest.front() != '/') return {};
    std::string path;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] != '%') {
            path += rest[i];
            continue;
        }
        if (i + 2 >= rest.size()) return {};  // '%' needs two hex digits
        const int high = HexValue(rest[i + 1]);
        const int low = HexValue(rest[i + 2]);
        if (high < 0 || low < 0) return {};
        path += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return path;
}

std::string Resolve(std::string_view configured, const std::filesystem::path& found) {
    std::error_code ignored;
    const bool configuredIsFile = configured.substr(0, FileScheme.size()) == FileScheme;
    if (!configured.empty() && !configuredIsFile) return std::string(configured);
    const std::filesystem::path configuredPath = LocalPath(configured);
    if (!configuredPath.empty() && std::filesystem::exists(configuredPath, ignored))
        return std::string(configured);
    if (!found.empty() && std::filesystem::exists(found, ignored))
        return FileUrl(std::filesystem::absolute(found, ignored).lexically_normal());
    return std::string(configured);
}

}  // namespace ManualAddress
