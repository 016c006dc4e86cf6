// The harmonics window while a note really plays: the program records from
// PortAudio's default device, which a private PulseAudio server feeds at
// real-time pace (tests/support/paced-audio.sh), and the graph is handed the
// note's frames. Skipped, with the reason, where no server can be started.

#include <sys/types.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "GuiTestSupport.h"
#include "app/logic/CommandIds.h"
#include "capture/PortAudioDevice.h"
#include "harmonics/HarmonicsDialog.h"

#include <wx/statbox.h>

using namespace GuiTest;
using namespace std::chrono_literals;

namespace {

std::string Quoted(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

class PacedAudio : public WindowTest {
protected:
    void SetUp() override {
        server = dir.Path() / "pulse-run";
        const std::string start = std::string(ZELVO_PACED_AUDIO_SCRIPT) + " start " + Quoted(server);
        if (std::system(start.c_str()) != 0) GTEST_SKIP() << "no PulseAudio server could be started";
        started = true;
        // PortAudio's default device is ALSA's, which the PulseAudio plugin
        // connects to this server.
        setenv("XDG_RUNTIME_DIR", server.c_str(), 1);
        setenv("PULSE_SERVER", ("unix:" + (server / "pulse" / "native").string()).c_str(), 1);
        session = std::make_unique<Recorder::PortAudioSession>();
        if (!session->IsOpen()) GTEST_SKIP() << "PortAudio: " << session->ErrorText();
    }

    void TearDown() override {
        CloseWindow();
        if (player > 0) kill(player, SIGTERM);
        session.reset();
        if (started) {
            const std::string stop = std::string(ZELVO_PACED_AUDIO_SCRIPT) + " stop " + Quoted(server);
            EXPECT_EQ(std::system(stop.c_str()), 0);
        }
    }

    // Plays `seconds` of a sine into the server's sink; the player's pid.
    void Play(double frequency, double seconds) {
        const auto bytes = Recorder::SinePcm16(frequency, seconds, 11025, 0.4);
        const std::filesystem::path raw = dir.Path() / "tone.raw";
        WriteWholeFile(raw, std::string(bytes.begin(), bytes.end()));
        const std::string command = std::string(ZELVO_PACED_AUDIO_SCRIPT) + " play " + Quoted(server) + " " +
                                    Quoted(raw) + " --raw --format=s16le --rate=11025 --channels=1";
        std::FILE* out = popen(command.c_str(), "r");
        ASSERT_NE(out, nullptr);
        char line[32] = {};
        if (std::fgets(line, sizeof line, out)) player = static_cast<pid_t>(std::atoi(line));
        pclose(out);
        ASSERT_GT(player, 0);
    }

    std::filesystem::path server;
    bool started = false;
    std::unique_ptr<Recorder::PortAudioSession> session;
    pid_t player = 0;
};

}  // namespace

TEST_F(PacedAudio, TheGraphIsHandedTheFramesOfTheNotePlaying) {
    otherDevice = Recorder::CreatePortAudioDevice();
    Start();
    ASSERT_TRUE(PumpUntil([&] { return w->Pipeline().RecorderStatus() == 1; }, 5000ms))
        << "recording did not start: " << (hooks->messages.empty() ? "" : hooks->messages[0].text);
    Command(CommandId::HarmonicsGraph);
    CHarmonicsDialog* dialog = w->HarmonicsDialog();
    ASSERT_NE(dialog, nullptr);

    Play(220.0, 4.0);  // A3
    ASSERT_TRUE(PumpUntil([&] { return dialog->State().currentNote == 57; }, 4000ms))
        << "current note " << dialog->State().currentNote;
    ASSERT_TRUE(PumpUntil([&] { return dialog->FrameTicks() >= 5; }, 3000ms));
    ASSERT_NE(dialog->State().currentHistory, nullptr);
    const HarmonicHistory& history = *dialog->State().currentHistory;
    ASSERT_FALSE(history.Segments().empty());
    // Real-time pace: the history's time grows with the clock, never ahead.
    const float t0 = history.EndTime();
    PumpFor(500ms);
    EXPECT_GT(history.EndTime(), t0);
    EXPECT_LT(history.EndTime() - t0, 1.5f);
    EXPECT_EQ(dialog->CurrentGroup()->GetLabel(), "Current Note: A3");
}
