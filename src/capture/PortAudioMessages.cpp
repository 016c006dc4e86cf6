#include "capture/PortAudioMessages.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <string>

namespace Recorder {

namespace {

std::atomic<std::uint64_t> Suppressed{0};
std::atomic<std::uint64_t> SuppressedAtLastLog{0};

// PortAudio's hook; it may be called on the audio callback thread, so it
// only counts, or hands other text on unchanged.
void PortAudioPrint(const char* text) {
    if (text == nullptr) return;
    if (IsPortAudioDiagnostic(text)) {
        Suppressed.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    std::fputs(text, stderr);
}

// The filtering stream's write: whole fprintf calls arrive here, as the
// stream is unbuffered (glibc formats each call into one block first).
ssize_t FilteredWrite(void*, const char* buffer, size_t size) {
    if (IsPortAudioDiagnostic(std::string_view(buffer, size))) {
        Suppressed.fetch_add(1, std::memory_order_relaxed);
        return static_cast<ssize_t>(size);
    }
    size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(STDERR_FILENO, buffer + written, size - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return written > 0 ? static_cast<ssize_t>(written) : -1;
        written += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(size);
}

using PrintHook = void (*)(const char*);
using PrintHookSetter = void (*)(PrintHook);

void Install() {
    // Present only in PortAudio builds that export their debug functions.
    if (void* setter = dlsym(RTLD_DEFAULT, "PaUtil_SetDebugPrintFunction")) {
        reinterpret_cast<PrintHookSetter>(setter)(PortAudioPrint);
        return;
    }
    // The installed library writes with fprintf(stderr, ...), reading the
    // stderr variable at each call, which glibc lets a program replace.
    // std::cerr keeps the original stream; both end on descriptor 2.
    cookie_io_functions_t functions{};
    functions.write = FilteredWrite;
    FILE* filtered = fopencookie(nullptr, "w", functions);
    if (filtered == nullptr) return;
    std::setvbuf(filtered, nullptr, _IONBF, 0);
    std::fflush(stderr);
    stderr = filtered;
}

}  // namespace

bool IsPortAudioDiagnostic(std::string_view text) {
    return text.starts_with("Expression '") && text.find("' failed in 'src/") != std::string_view::npos;
}

void SilencePortAudioDiagnostics() {
    static std::once_flag once;
    std::call_once(once, Install);
}

std::uint64_t SuppressedPortAudioDiagnostics() {
    return Suppressed.load(std::memory_order_relaxed);
}

void LogDeviceFailure(std::string_view what, std::string_view errorText) {
    const std::uint64_t now = Suppressed.load(std::memory_order_relaxed);
    const std::uint64_t dropped = now - SuppressedAtLastLog.exchange(now, std::memory_order_relaxed);
    std::string line =
        std::string(program_invocation_short_name) + ": recording device: " + std::string(what);
    if (!errorText.empty()) line += ": " + std::string(errorText);
    if (dropped > 0) line += " (" + std::to_string(dropped) + " PortAudio diagnostics not shown)";
    line += '\n';
    std::fputs(line.c_str(), stderr);
}

}  // namespace Recorder
