#include "ToolRunner.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace ToolTest {

namespace {

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

ToolRun RunTool(const std::string& program, const std::vector<std::string>& args,
                const std::vector<std::string>& extraEnvironment) {
    TempDirectory scratch;
    const std::string errPath = scratch.File("stderr.txt");
    std::string command;
    for (const auto& assignment : extraEnvironment) command += "export " + Quote(assignment) + "; ";
    command += Quote(program);
    for (const auto& arg : args) command += ' ' + Quote(arg);
    command += " 2>" + Quote(errPath) + " </dev/null";

    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) throw std::runtime_error("cannot run " + program);
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ostringstream err;
    err << std::ifstream(errPath, std::ios::binary).rdbuf();
    run.err = err.str();
    return run;
}

void MakeTone(const std::string& path, std::vector<std::string> toneArgs) {
    toneArgs.insert(toneArgs.begin(), {"--out", path});
    const ToolRun run = RunTool(kTone, toneArgs);
    ASSERT_EQ(run.status, 0) << run.err;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::istringstream in(text);
    for (std::string piece; std::getline(in, piece, separator);) pieces.push_back(piece);
    return pieces;
}

}  // namespace ToolTest
