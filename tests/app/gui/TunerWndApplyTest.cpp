// Settings reaching the window through ApplySettings, the Ctrl+S shortcut, the
// console line without a recording device, and a quiet start of the real
// program under a window manager.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <thread>

#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/uiaction.h>

#include "GuiTestSupport.h"
#include "app/logic/MainWindowRules.h"
#include "indicators/EnergyIndicator.h"
#include "indicators/FineIndicator.h"
#include "indicators/GlobalIndicator.h"
#include "tuning/NoteTable.h"

using namespace GuiTest;
using namespace std::chrono_literals;

using TunerWndApply = WindowTest;

TEST_F(TunerWndApply, EachKindOfChangeDoesItsWorkAndOnlyCaptureRestarts) {
    Start(true);
    auto status = [&] { return w->GetStatusBar()->GetStatusText(0); };
    const ConfigRecord& piped = w->Pipeline().Config();
    const struct {
        const char* kind;
        std::function<void(SettingsFiles&)> edit;
        std::function<bool()> applied;  // holds as soon as ApplySettings returns
        int restarts;
    } cases[] = {
        {"tuning reference", [](SettingsFiles& s) { s.config.MiddleA = 442.0f, s.config.Pitch = 2; },
         [&] {
             return status() == "A4: 442.000, TRANS: +2" && w->GlobalIndicator()->GetTranspose() == 2 &&
                    w->Pipeline().GetNoteTable() == BuildNoteTable(StretchList{}, TemperamentList{}, 442.0f);
         },
         0},
        {"presets",
         [](SettingsFiles& s) {
             s.presets.entries = {{"Violin", ParseNoteList("G3,D4,A4,E5")}};
         },
         [&] {
             return Item(3000) && Item(3000)->GetItemLabelText() == "Violin" &&
                    w->GlobalIndicator()->GetNotes() == ParseNoteList("G3,D4,A4,E5");
         },
         0},
        {"capture", [](SettingsFiles& s) { s.config.Format = 0x40; },  // 22050 Hz, 16 bits, mono
         [&] { return device->LastFormat().sampleRate == 22050 && w->Pipeline().RecorderStatus() == 1; }, 1},
        {"noise floor", [](SettingsFiles& s) { s.config.NoiseFloor = -45.0f; },
         [&] { return w->EnergyIndicator()->floorPosition == 0.25f && piped.NoiseFloor == -45.0f; }, 0},
        {"display", [](SettingsFiles& s) { s.config.Smooth = false, s.config.CentAccuracy = 1; },
         [&] { return !w->FineIndicator()->smoothing && w->FineIndicator()->GetCentsText().length() == 3; },
         0},
        {"harmonics and calibration",
         [](SettingsFiles& s) { s.config.AlwaysStore = false, s.config.ExpectedFreq = 441.0f; },
         [&] { return !piped.AlwaysStore && piped.ExpectedFreq == 441.0f; }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        SettingsFiles next = w->Settings();
        c.edit(next);
        const int opens = device->OpenCalls();
        w->ApplySettings(next);
        EXPECT_TRUE(w->Settings() == next);
        EXPECT_TRUE(c.applied());
        EXPECT_EQ(device->OpenCalls(), opens + c.restarts);
        w->ApplySettings(next);  // the same settings again: nothing to do
        EXPECT_EQ(device->OpenCalls(), opens + c.restarts);
    }
    // A copy taken before the window moved does not move the saved rectangle back.
    SettingsFiles stale = w->Settings();
    stale.config.TunerPosTop += 50;
    w->ApplySettings(stale);
    EXPECT_EQ(w->Settings().config.TunerPosTop, stale.config.TunerPosTop - 50);
    EXPECT_TRUE(hooks->messages.empty());
}

TEST_F(TunerWndApply, TheRestartMessageComesAfterThePanesAndBeforeTheStatusText) {
    Start(true);
    int transposeAtMessage = -1;
    wxString statusAtMessage;
    hooks->onMessage = [&] {
        transposeAtMessage = w->GlobalIndicator()->GetTranspose();
        statusAtMessage = w->GetStatusBar()->GetStatusText(0);
    };
    SettingsFiles next = w->Settings();
    next.config.Pitch = 3;
    next.config.Format = 3;  // two format bits name no format: the start fails with a message
    w->ApplySettings(next);
    ASSERT_EQ(hooks->messages.size(), 1u);
    EXPECT_EQ(transposeAtMessage, 3);
    EXPECT_EQ(statusAtMessage, "A4: 440.000");
    EXPECT_EQ(w->GetStatusBar()->GetStatusText(0), "A4: 440.000, TRANS: +3");
}

TEST_F(TunerWndApply, CtrlSTogglesSmoothingAndF1StaysSwallowed) {
    Start(true);
    w->Raise();
    wxUIActionSimulator sim;
    // Without a window manager the keyboard follows the pointer.
    sim.MouseMove(w->GetScreenRect().GetPosition() + wxPoint(40, 80));
    PumpFor(100ms);
    sim.Char('s', wxMOD_CONTROL);
    EXPECT_TRUE(
        PumpUntil([&] { return !w->Settings().config.Smooth && !w->FineIndicator()->smoothing; }, 1000ms));
    PumpFor(100ms);  // a second toggle (the menu's own shortcut as well) would show by now
    EXPECT_FALSE(w->Settings().config.Smooth);
    sim.Char(WXK_F1);
    PumpFor(100ms);
    EXPECT_TRUE(hooks->messages.empty());
}

TEST_F(TunerWndApply, NoDeviceAlsoSaysWhereToLookOnTheConsole) {
    Recorder::TestCaptureDevice::Settings settings;
    settings.deviceNames.clear();
    device = std::make_shared<Recorder::TestCaptureDevice>(settings);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Create());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string(MainWindowRules::NoDeviceConsoleLine()) + "\n");
    EXPECT_NE(std::string(MainWindowRules::NoDeviceConsoleLine()).find("arecord -l"), std::string::npos);
}

// The program reads a tone through ALSA's file plugin; with a window manager
// running (when one is installed) as on a desktop, a start and a SIGTERM
// write nothing to standard error.
TEST(RealBinaryStart, PrintsNothingUnderAWindowManager) {
    TempDirectory work;
    const std::filesystem::path raw = work.Path() / "a440.raw", err = work.Path() / "stderr.txt";
    const auto bytes = SineBytes(440.0, 10.0);
    std::ofstream(raw, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::ofstream(work.Path() / "asound.conf")
        << "pcm.null { type null }\npcm.!default { type file slave.pcm \"null\" file \"/dev/null\" infile \""
        << raw.string() << "\" format \"raw\" }\n";
    setenv("ALSA_CONFIG_PATH", (work.Path() / "asound.conf").c_str(), 1);
    setenv("ZELVO_TUNER_SETTINGS_DIR", (work.Path() / "settings").c_str(), 1);

    auto spawn = [](const char* program, const std::filesystem::path& errors) -> pid_t {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = 0;
        char* const argv[] = {const_cast<char*>(program), nullptr};
        const bool spawned = posix_spawnp(&pid, program, &actions, nullptr, argv, environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        return spawned ? pid : 0;
    };
    const pid_t wm = spawn("openbox", "/dev/null");
    if (wm) std::this_thread::sleep_for(1s);
    const pid_t tuner = spawn(ZELVO_TUNER_BINARY, err);
    ASSERT_NE(tuner, 0);
    std::this_thread::sleep_for(3s);
    kill(tuner, SIGTERM);
    int status = 0;
    waitpid(tuner, &status, 0);
    if (wm) kill(wm, SIGTERM), waitpid(wm, nullptr, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ifstream in(err);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "")
        << (wm ? "with" : "without") << " openbox";
}
