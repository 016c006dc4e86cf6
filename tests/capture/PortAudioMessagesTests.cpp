// PortAudio's failed-expression lines are dropped from stderr and counted;
// everything else written there passes unchanged.
#include "capture/PortAudioMessages.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

TEST(PortAudioMessages, RecognisesOnlyFailedExpressionLines) {
    const struct {
        const char* text;
        bool diagnostic;
    } cases[] = {
        {"Expression 'alsa_snd_pcm_hw_params_set_buffer_size_near( self->pcm, hwParams, &bufSz )' failed in "
         "'src/hostapi/alsa/pa_linux_alsa.c', line: 2084\n",
         true},
        {"Expression 'r' failed in 'src/hostapi/alsa/pa_linux_alsa.c', line: 2097\n", true},
        {"zelvo-analyze: cannot write the output\n", false},
        {"ALSA lib pcm.c:2664:(snd_pcm_open_noupdate) Unknown PCM\n", false},
        {"Expression 'x' was fine\n", false},
        {" Expression 'r' failed in 'src/hostapi/alsa/x.c', line: 1\n", false},
    };
    for (const auto& c : cases) EXPECT_EQ(Recorder::IsPortAudioDiagnostic(c.text), c.diagnostic) << c.text;
}

TEST(PortAudioMessages, FilteredStderrPassesEverythingElseAndLogsOneLineOfOurs) {
    if (dlsym(RTLD_DEFAULT, "PaUtil_SetDebugPrintFunction") != nullptr)
        GTEST_SKIP() << "this PortAudio takes its print hook; stderr is left as it is";
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const int savedStderr = dup(STDERR_FILENO);
    dup2(pipeEnds[1], STDERR_FILENO);
    Recorder::SilencePortAudioDiagnostics();
    Recorder::LogDeviceFailure("before", "");  // resets the count of the last line
    const auto before = Recorder::SuppressedPortAudioDiagnostics();
    std::fprintf(stderr, "Expression '%s' failed in '%s', line: %d\n", "r",
                 "src/hostapi/alsa/pa_linux_alsa.c", 2097);
    std::fprintf(stderr, "kept %d\n", 1);
    std::fprintf(stderr, "Expression '%s' failed in '%s', line: %d\n", "r",
                 "src/hostapi/alsa/pa_linux_alsa.c", 2101);
    Recorder::LogDeviceFailure("cannot open", "Device unavailable");
    std::fflush(stderr);
    dup2(savedStderr, STDERR_FILENO);
    close(savedStderr);
    close(pipeEnds[1]);
    std::string got;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) got.append(buffer, n);
    close(pipeEnds[0]);

    EXPECT_EQ(Recorder::SuppressedPortAudioDiagnostics() - before, 2u);
    const std::string name = program_invocation_short_name;
    EXPECT_EQ(
        got, name + ": recording device: before\nkept 1\n" + name +
                 ": recording device: cannot open: Device unavailable (2 PortAudio diagnostics not shown)\n");
}
