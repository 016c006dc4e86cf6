// Runs the command-line tools from the tests and captures what they print.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "TempDirectory.h"

namespace ToolTest {

// The programs under test, built before the tests.
inline const std::string kAnalyze = ZELVO_ANALYZE_PATH;
inline const std::string kTone = ZELVO_TONE_PATH;

struct ToolRun {
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs program with args (each quoted for the shell); extraEnvironment is a
// list of NAME=value pairs set for the program only.
ToolRun RunTool(const std::string& program, const std::vector<std::string>& args,
                const std::vector<std::string>& extraEnvironment = {});

// Writes a tone with zelvo-tone to path (its format from the extension);
// a failure to do so fails the calling test.
void MakeTone(const std::string& path, std::vector<std::string> toneArgs);

// Splits text at every separator; a final separator ends the last piece
// rather than starting an empty one, so Split(out, '\n') gives the lines.
std::vector<std::string> Split(const std::string& text, char separator);

}  // namespace ToolTest
