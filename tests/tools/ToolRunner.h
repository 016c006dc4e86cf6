// Runs the command-line tools from the tests and captures what they print.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <stdexcept>
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

inline std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs program with args through the shell; extraEnvironment is a list of
// NAME=value pairs set for the program only. Standard input is empty.
inline ToolRun RunTool(const std::string& program, const std::vector<std::string>& args,
                       const std::vector<std::string>& extraEnvironment = {}) {
    TempDirectory scratch;
    const std::string errPath = scratch.File("stderr.txt");
    std::string command;
    for (const auto& assignment : extraEnvironment) command += "export " + ShellQuote(assignment) + "; ";
    command += ShellQuote(program);
    for (const auto& arg : args) command += ' ' + ShellQuote(arg);
    command += " 2>" + ShellQuote(errPath) + " </dev/null";

    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) throw std::runtime_error("cannot run " + program);
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadWholeFile(errPath);
    return run;
}

// Writes a tone with zelvo-tone to path (its format from the extension);
// a failure to do so fails the calling test.
inline void MakeTone(const std::string& path, std::vector<std::string> toneArgs) {
    toneArgs.insert(toneArgs.begin(), {"--out", path});
    const ToolRun run = RunTool(kTone, toneArgs);
    ASSERT_EQ(run.status, 0) << run.err;
}

// Splits text at every separator; a final separator ends the last piece
// rather than starting an empty one, so Split(out, '\n') gives the lines.
inline std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::istringstream in(text);
    for (std::string piece; std::getline(in, piece, separator);) pieces.push_back(piece);
    return pieces;
}

}  // namespace ToolTest
