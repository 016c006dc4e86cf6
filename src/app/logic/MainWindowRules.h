#pragma once
// Small rules of the main window that need no window system: its title, the
// texts of its messages, the display timer's period and the commands that
// start the system's recording control.

#include <string>
#include <vector>

namespace MainWindowRules {

inline constexpr const char* BaseTitle = "Zelvo Tuner";

// "Zelvo Tuner %i%s": the program's major version and a suffix (empty in
// release builds).
std::string FormatWindowTitle(int majorVersion, const std::string& suffix);

inline constexpr const char* NoDeviceMessage =
    "Zelvo Tuner was unable to find any usable recording device on this computer.  "
    "To use this program a 16-bit sound card must be installed";
inline constexpr const char* NoDeviceCaption = "Error: No sound card found";

enum class Platform { Linux, Windows };
#ifdef _WIN32
inline constexpr Platform ThisPlatform = Platform::Windows;
#else
inline constexpr Platform ThisPlatform = Platform::Linux;
#endif

// The line written to standard error, besides the message box, when there is
// no recording device: on Linux it says where to look.
const char* NoDeviceConsoleLine(Platform platform = ThisPlatform);

// Period of the one-shot display timer for the Display Rate setting:
// Slow (0) 100 ms, Medium (1) 50 ms, Fast (2) 10 ms. A value outside 0..2
// (a hand-edited file) gets the default rate's period.
int DisplayPeriodMs(int rate);

inline constexpr int WatchdogPeriodMs = 5000;

// The command lines to try, in order, for the recording control command. On
// Windows: the classic mixer with the device when one is chosen (-1 is the
// preferred device), then the newer one. On Linux: the PulseAudio mixer on
// its input-devices tab, then the desktop's sound settings.
std::vector<std::string> RecordingControlCommands(int device, Platform platform = ThisPlatform);

// The recording control command's menu text, its status-bar prompt and the
// message shown when none of its programs starts. Only Windows names Windows.
const char* RecordingControlItemText(Platform platform = ThisPlatform);
const char* RecordingControlHelp(Platform platform = ThisPlatform);
const char* RecordingControlFailedMessage(Platform platform = ThisPlatform);

// Caption of the message shown when settings files could not be written at
// exit (the text itself comes with the save result).
inline constexpr const char* SaveFailureCaption = "Zelvo Tuner";

// The first word of a command line (the program), and where it is found on a
// PATH-style list of directories ("" when it is not there or not
// executable). A name that contains a slash is checked as it stands.
std::string ProgramOfCommandLine(const std::string& commandLine);
std::string FindProgramOnPath(const std::string& program, const std::string& pathList);

}  // namespace MainWindowRules
