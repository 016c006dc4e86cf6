#pragma once
// PortAudio's own diagnostics, kept off the terminal.
//
// On a device failure PortAudio's ALSA host code prints one line per failed
// call ("Expression '...' failed in 'src/hostapi/alsa/...', line: N"), several
// per failure, straight to stderr. Where the library exports its print hook
// the lines are taken there; otherwise the process's stderr stream is routed
// through a filter that drops exactly those lines and passes everything else
// on to file descriptor 2 unchanged. The capture layer logs one line of its
// own per device failure instead (LogDeviceFailure).

#include <cstdint>
#include <string_view>

namespace Recorder {

// True for text that is one of PortAudio's failed-expression diagnostics.
bool IsPortAudioDiagnostic(std::string_view text);

// Installs the hook or the filter; the first call does it, for the rest of
// the process.
void SilencePortAudioDiagnostics();

// The diagnostics dropped so far.
std::uint64_t SuppressedPortAudioDiagnostics();

// Writes one line to stderr: the program's name, what failed, PortAudio's
// error text, and how many diagnostics were dropped since the last such line.
void LogDeviceFailure(std::string_view what, std::string_view errorText);

}  // namespace Recorder
