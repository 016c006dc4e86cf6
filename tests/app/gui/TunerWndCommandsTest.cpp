// The main window's menu bar, shortcut keys, commands and update handlers.

#include <cctype>

#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/uiaction.h>

#include "GuiTestSupport.h"
#include "app/logic/CommandIds.h"
#include "app/logic/MainMenuModel.h"
#include "indicators/EnergyIndicator.h"
#include "indicators/GlobalIndicator.h"
#include "persistence/ListFiles.h"

using namespace GuiTest;
using namespace std::chrono_literals;

using TunerWndCommands = WindowTest;

TEST_F(TunerWndCommands, MenuBarAndAcceleratorsFollowTheModel) {
    Start();
    const auto model = MainMenu::BuildMenuModel();
    ASSERT_EQ(w->GetMenuBar()->GetMenuCount(), model.size());
    UpdateMenus();
    for (const MainMenu::MenuEntry* entry : MainMenu::FlattenMenu(model)) {
        if (entry->id == 0) continue;
        wxMenuItem* item = Item(entry->id);
        ASSERT_NE(item, nullptr) << entry->id;
        EXPECT_EQ(item->GetItemLabel(), wxString::FromUTF8(entry->text)) << entry->id;
        EXPECT_EQ(item->GetHelp(), wxString::FromUTF8(entry->help)) << entry->id;
        EXPECT_EQ(item->IsEnabled(), entry->available) << entry->id;
    }
    // The window's own table too, not only the items' shortcuts.
    const wxAcceleratorTable* table = w->GetAcceleratorTable();
    ASSERT_TRUE(table && table->IsOk());
    for (const MainMenu::AcceleratorEntry& a : MainMenu::BuildAcceleratorTable()) {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = a.key;
        key.m_controlDown = a.ctrl;
        EXPECT_EQ(table->GetCommand(key), a.command) << a.key;
    }
}

TEST_F(TunerWndCommands, EveryShortcutKeyRunsItsCommandOnce) {
    Start();
    std::vector<int> ran;
    // Taken here, so that no dialog opens.
    w->Bind(wxEVT_MENU, [&ran](wxCommandEvent& e) { ran.push_back(e.GetId()); });
    FocusByPointer();
    wxUIActionSimulator sim;
    std::vector<int> expected;
    for (const MainMenu::AcceleratorEntry& a : MainMenu::BuildAcceleratorTable()) {
        sim.Char(std::tolower(a.key), a.ctrl ? wxMOD_CONTROL : wxMOD_NONE);
        expected.push_back(a.command);
    }
    sim.Char(WXK_F1);
    expected.push_back(CommandId::HelpContents);
    PumpUntil([&] { return ran.size() >= expected.size(); }, 3000ms);
    PumpFor(100ms);  // a second event for a key (menu and table both) would show by now
    EXPECT_EQ(ran, expected);
}

TEST_F(TunerWndCommands, PresetSubmenuIsTheFourthEntryOfTheNoteMenu) {
    SaveTwoPresets();
    Start();
    // The items and their marks are NotePresetMenu's.
    wxMenu* note = w->GetMenuBar()->GetMenu(MainMenu::NoteMenuIndex);
    ASSERT_EQ(note->GetMenuItemCount(), 4u);
    EXPECT_EQ(note->FindItemByPosition(3)->GetItemLabelText(), "Note Preset");
    EXPECT_EQ(Item(3000)->GetItemLabelText(), "Guitar & Bass");
    Command(3000);
    EXPECT_EQ(w->GlobalIndicator()->GetNotes(), ParseNoteList("E2,A2,D3,G3,B3,E4"));
    UpdateMenus();
    EXPECT_TRUE(Item(3000)->IsChecked() && !Item(3001)->IsChecked());
}

TEST_F(TunerWndCommands, SwitchesTheirMarksAndTheSavedSettings) {
    Start(true);
    // What each setting does to the panes and the recording is ApplySettings'.
    const struct {
        int command;
        int markedOn;   // item checked afterwards (0: none)
        int markedOff;  // item unchecked afterwards (0: none)
        std::function<bool()> applied;
    } cases[] = {
        {CommandId::PixelSmoothing, 0, CommandId::PixelSmoothing,
         [&] { return !w->Settings().config.Smooth; }},
        // The new period applies from the next re-arm of the one-shot timer.
        {CommandId::DisplayRateSlow, CommandId::DisplayRateSlow, CommandId::DisplayRateFast,
         [&] { return w->Settings().config.Rate == 0 && w->DisplayTimer().GetInterval() == 100; }},
        {CommandId::DisplayRateMedium, CommandId::DisplayRateMedium, CommandId::DisplayRateSlow,
         [&] { return w->Settings().config.Rate == 1; }},
        {CommandId::CentsRoundWhole, CommandId::CentsRoundWhole, CommandId::CentsRoundTenth,
         [&] { return w->Settings().config.CentAccuracy == 1; }},
        {CommandId::AlwaysOnTop, CommandId::AlwaysOnTop, 0,
         [&] { return w->Settings().config.AlwaysOnTop && (w->GetWindowStyleFlag() & wxSTAY_ON_TOP); }},
        {CommandId::AnalysisQualityFast, CommandId::AnalysisQualityFast, CommandId::AnalysisQualityNormal,
         [&] { return w->Settings().config.AnalysisQuality == 1; }},
        // On by default; the item turns it off.
        {CommandId::PrecisePitch, 0, CommandId::PrecisePitch,
         [&] { return !w->Settings().config.PrecisePitch; }},
        {CommandId::AlwaysOnTop, 0, CommandId::AlwaysOnTop,
         [&] { return !w->Settings().config.AlwaysOnTop && !(w->GetWindowStyleFlag() & wxSTAY_ON_TOP); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        Command(c.command);
        EXPECT_TRUE(PumpUntil(c.applied, 1000ms));
        UpdateMenus();
        EXPECT_TRUE(c.markedOn == 0 || Item(c.markedOn)->IsChecked());
        EXPECT_TRUE(c.markedOff == 0 || !Item(c.markedOff)->IsChecked());
    }
    EXPECT_TRUE(hooks->messages.empty());

    // Exit closes the window, which saves (what it saves: RealBinary).
    Command(CommandId::Exit);
    PumpFor(100ms);
    EXPECT_TRUE(wxTopLevelWindows.IsEmpty());
    ConfigRecord saved;
    LoadConfig(saved, dir.Path() / "tuner_config.xml");
    EXPECT_EQ(saved.AnalysisQuality, 1);
    EXPECT_FALSE(saved.PrecisePitch);
}

TEST_F(TunerWndCommands, StatusTextWaitsWhileAMenuIsOpen) {
    Start(true);
    wxStatusBar* bar = w->GetStatusBar();
    auto MenuEvent = [&](wxEventType type, size_t menu) {
        wxMenuEvent event(type, 0, w->GetMenuBar()->GetMenu(menu));
        w->ProcessWindowEvent(event);
    };
    MenuEvent(wxEVT_MENU_OPEN, 0);
    // A submenu opening and closing inside the loop does not end it.
    MenuEvent(wxEVT_MENU_OPEN, 2);
    MenuEvent(wxEVT_MENU_CLOSE, 2);
    bar->SetStatusText("Exit the tuner application");
    w->UpdateStatusText();
    EXPECT_EQ(bar->GetStatusText(0), "Exit the tuner application");
    MenuEvent(wxEVT_MENU_CLOSE, 0);
    PumpFor(50ms);
    EXPECT_EQ(bar->GetStatusText(0), "A4: 440.000");
}

TEST_F(TunerWndCommands, RecordingControlTriesEachProgramThenReports) {
    Start();
    hooks->launchResults = {false, true};
    Command(CommandId::RecordingControl);
    EXPECT_EQ(hooks->launched,
              (std::vector<std::string>{"pavucontrol --tab=4", "gnome-control-center sound"}));
    EXPECT_TRUE(hooks->messages.empty());
    hooks->launchResults = {false, true, false, false};
    Command(CommandId::RecordingControl);
    EXPECT_EQ(hooks->launched.size(), 4u);
    ASSERT_EQ(hooks->messages.size(), 1u);
    EXPECT_TRUE(hooks->messages[0].text.StartsWith("Unable to launch the system's recording control"));
}

TEST_F(TunerWndCommands, NoiseFloorDragReachesTheSettings) {
    Start();
    NoiseFloorEvent event(EVT_NOISE_FLOOR_CHANGED, 0, 0.75f);
    event.SetEventObject(w->EnergyIndicator());
    w->EnergyIndicator()->GetEventHandler()->ProcessEvent(event);
    EXPECT_FLOAT_EQ(w->Settings().config.NoiseFloor, -15.0f);
    EXPECT_TRUE(PumpUntil([&] { return w->LevelControlText() == "LEVEL:-15.0"; }, 500ms));
}
