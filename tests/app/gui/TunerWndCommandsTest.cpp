// The main window's menu bar, accelerators, commands and update handlers.

#include <gtest/gtest.h>

#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/uiaction.h>

#include "GuiTestSupport.h"
#include "app/TunerWnd.h"
#include "app/logic/CommandIds.h"
#include "app/logic/MainMenuModel.h"
#include "app/logic/MainWindowRules.h"
#include "indicators/EnergyIndicator.h"
#include "indicators/FineIndicator.h"
#include "indicators/GlobalIndicator.h"
#include "persistence/ListFiles.h"

using namespace GuiTest;
using namespace std::chrono_literals;

namespace {

class TunerWndCommands : public ::testing::Test {
protected:
    void SetUp() override {
        device = ToneDevice(440.0);
        ui = std::make_unique<WindowUnderTest>(device, dir.Path());
    }
    void Start() {
        ASSERT_TRUE(ui->Create());
        w = ui->Window();
        ASSERT_TRUE(PumpUntil([&] { return w->Pipeline().RecorderStatus() == 1; }, 2000ms));
    }
    // Runs a menu command as the menu or an accelerator would.
    void Command(int id) {
        wxCommandEvent event(wxEVT_MENU, id);
        event.SetEventObject(w);
        w->ProcessWindowEvent(event);
        PumpFor(20ms);
    }
    wxMenuItem* Item(int id) { return w->GetMenuBar()->FindItem(id); }
    // Brings the menu items up to date, as opening the menu does.
    void UpdateMenus() {
        for (size_t i = 0; i < w->GetMenuBar()->GetMenuCount(); ++i)
            w->GetMenuBar()->GetMenu(i)->UpdateUI(w);
    }

    TempDirectory dir;
    std::shared_ptr<Recorder::TestCaptureDevice> device;
    std::unique_ptr<WindowUnderTest> ui;
    CTunerWnd* w = nullptr;
};

}  // namespace

TEST_F(TunerWndCommands, MenuBarFollowsTheModel) {
    Start();
    wxMenuBar* bar = w->GetMenuBar();
    const auto model = MainMenu::BuildMenuModel();
    ASSERT_EQ(bar->GetMenuCount(), model.size());
    for (size_t i = 0; i < model.size(); ++i)
        EXPECT_EQ(bar->GetMenuLabel(i), wxString::FromUTF8(model[i].title));
    for (const MainMenu::MenuEntry* entry : MainMenu::FlattenMenu(model)) {
        if (entry->id == 0)
            continue;
        wxMenuItem* item = Item(entry->id);
        ASSERT_NE(item, nullptr) << entry->id;
        EXPECT_EQ(item->GetItemLabel(), wxString::FromUTF8(entry->text)) << entry->id;
        EXPECT_EQ(item->GetHelp(), wxString::FromUTF8(entry->help)) << entry->id;
    }
    UpdateMenus();
    // Dialogs that come later: shown, disabled.
    for (int id : {32799, 219, 143, 32784, 182, 142})
        EXPECT_FALSE(Item(id)->IsEnabled()) << id;
    EXPECT_TRUE(Item(CommandId::Exit)->IsEnabled());
}

TEST_F(TunerWndCommands, PresetSubmenuIsTheFourthEntryOfTheNoteMenu) {
    // Two presets, the second selected.
    PresetList presets;
    presets.entries.push_back({"Guitar & Bass", ParseNoteList("E2,A2,D3,G3,B3,E4")});
    presets.entries.push_back({"Violin", ParseNoteList("G3,D4,A4,E5")});
    presets.SelectedIndex = 1;
    ASSERT_TRUE(SavePresetList(presets, dir.Path() / "tuner_presets.xml"));
    Start();

    wxMenu* note = w->GetMenuBar()->GetMenu(MainMenu::NoteMenuIndex);
    ASSERT_EQ(note->GetMenuItemCount(), 4u);
    wxMenuItem* sub = note->FindItemByPosition(3);
    EXPECT_EQ(sub->GetItemLabelText(), "Note Preset");
    ASSERT_NE(sub->GetSubMenu(), nullptr);
    ASSERT_EQ(sub->GetSubMenu()->GetMenuItemCount(), 2u);
    EXPECT_EQ(Item(3000)->GetItemLabelText(), "Guitar & Bass");
    EXPECT_EQ(w->GlobalIndicator()->GetNotes(), ParseNoteList("G3,D4,A4,E5"));

    UpdateMenus();
    EXPECT_FALSE(Item(3000)->IsChecked());
    EXPECT_TRUE(Item(3001)->IsChecked());

    Command(3000);
    EXPECT_EQ(w->Settings().presets.SelectedIndex, 0);
    EXPECT_EQ(w->GlobalIndicator()->GetNotes(), ParseNoteList("E2,A2,D3,G3,B3,E4"));
    UpdateMenus();
    EXPECT_TRUE(Item(3000)->IsChecked());

    // Rebuilding replaces the submenu in place.
    w->Settings().presets.entries.clear();
    w->RebuildPresetMenu();
    ASSERT_EQ(note->GetMenuItemCount(), 4u);
    wxMenu* rebuilt = note->FindItemByPosition(3)->GetSubMenu();
    ASSERT_EQ(rebuilt->GetMenuItemCount(), 1u);
    EXPECT_EQ(rebuilt->FindItemByPosition(0)->GetItemLabelText(), "(empty)");
    EXPECT_FALSE(rebuilt->FindItemByPosition(0)->IsEnabled());
    EXPECT_EQ(Item(3000), nullptr);
}

TEST_F(TunerWndCommands, AcceleratorTableHoldsTheFiveShortcuts) {
    Start();
    const wxAcceleratorTable* table = w->GetAcceleratorTable();
    ASSERT_TRUE(table && table->IsOk());
    for (const MainMenu::AcceleratorEntry& a : MainMenu::BuildAcceleratorTable()) {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = a.key;
        key.m_controlDown = true;
        EXPECT_EQ(table->GetCommand(key), a.command) << a.key;
    }
    for (int code : {static_cast<int>('S'), static_cast<int>(WXK_F1)}) {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = code;
        key.m_controlDown = code == 'S';
        EXPECT_EQ(table->GetCommand(key), -1) << code;
    }
}

TEST_F(TunerWndCommands, SwitchesAndTheirMarks) {
    Start();
    Command(CommandId::PixelSmoothing);
    EXPECT_FALSE(w->Settings().config.Smooth);
    EXPECT_FALSE(w->FineIndicator()->smoothing);
    UpdateMenus();
    EXPECT_FALSE(Item(CommandId::PixelSmoothing)->IsChecked());

    Command(CommandId::DisplayRateSlow);
    EXPECT_EQ(w->Settings().config.Rate, 0);
    UpdateMenus();
    EXPECT_TRUE(Item(CommandId::DisplayRateSlow)->IsChecked());
    EXPECT_FALSE(Item(CommandId::DisplayRateFast)->IsChecked());
    // The new period applies from the next re-arm of the one-shot timer.
    EXPECT_TRUE(PumpUntil([&] { return w->DisplayTimer().GetInterval() == 100; }, 200ms));
    EXPECT_TRUE(w->DisplayTimer().IsOneShot());

    Command(CommandId::CentsRoundWhole);
    EXPECT_EQ(w->Settings().config.CentAccuracy, 1);
    UpdateMenus();
    EXPECT_TRUE(Item(CommandId::CentsRoundWhole)->IsChecked());
    EXPECT_FALSE(Item(CommandId::CentsRoundTenth)->IsChecked());
    PumpFor(500ms);
    EXPECT_EQ(w->FineIndicator()->GetCentsText().length(), 3u) << w->FineIndicator()->GetCentsText();

    Command(CommandId::AlwaysOnTop);
    EXPECT_TRUE(w->Settings().config.AlwaysOnTop);
    EXPECT_TRUE(w->GetWindowStyleFlag() & wxSTAY_ON_TOP);
    UpdateMenus();
    EXPECT_TRUE(Item(CommandId::AlwaysOnTop)->IsChecked());
    Command(CommandId::AlwaysOnTop);
    EXPECT_FALSE(w->GetWindowStyleFlag() & wxSTAY_ON_TOP);
}

TEST_F(TunerWndCommands, AnalysisQualityRestartsOnlyOnAChange) {
    Start();
    const int opens = device->OpenCalls();
    Command(CommandId::AnalysisQualityNormal);  // already Normal
    EXPECT_EQ(device->OpenCalls(), opens);
    Command(CommandId::AnalysisQualityFast);
    EXPECT_EQ(w->Settings().config.AnalysisQuality, 1);
    EXPECT_EQ(device->OpenCalls(), opens + 1);
    EXPECT_EQ(w->Pipeline().RecorderStatus(), 1);
    UpdateMenus();
    EXPECT_TRUE(Item(CommandId::AnalysisQualityFast)->IsChecked());
    EXPECT_FALSE(Item(CommandId::AnalysisQualityNormal)->IsChecked());
    EXPECT_TRUE(ui->Messages().empty());
}

TEST_F(TunerWndCommands, StatusTextWaitsWhileAMenuIsOpen) {
    Start();
    wxStatusBar* bar = w->GetStatusBar();
    wxMenuEvent open(wxEVT_MENU_OPEN, 0, w->GetMenuBar()->GetMenu(0));
    w->ProcessWindowEvent(open);
    EXPECT_TRUE(w->IsInMenuLoop());
    // A submenu opening and closing inside the loop does not end it.
    wxMenuEvent subOpen(wxEVT_MENU_OPEN, 0, w->GetMenuBar()->GetMenu(2));
    w->ProcessWindowEvent(subOpen);
    wxMenuEvent subClose(wxEVT_MENU_CLOSE, 0, w->GetMenuBar()->GetMenu(2));
    w->ProcessWindowEvent(subClose);
    EXPECT_TRUE(w->IsInMenuLoop());

    bar->SetStatusText("Exit the tuner application");
    w->UpdateStatusText();
    PumpFor(50ms);
    EXPECT_EQ(bar->GetStatusText(0), "Exit the tuner application");

    wxMenuEvent close(wxEVT_MENU_CLOSE, 0, w->GetMenuBar()->GetMenu(0));
    w->ProcessWindowEvent(close);
    EXPECT_FALSE(w->IsInMenuLoop());
    PumpFor(50ms);
    EXPECT_EQ(bar->GetStatusText(0), "A4: 440.000");
}

TEST_F(TunerWndCommands, RecordingControlTriesEachProgramThenReports) {
    Start();
    ui->LaunchResults() = {false, true};
    Command(CommandId::RecordingControl);
    EXPECT_EQ(ui->Launched(),
              (std::vector<std::string>{"pavucontrol --tab=4", "gnome-control-center sound"}));
    EXPECT_TRUE(ui->Messages().empty());

    ui->Launched().clear();
    ui->LaunchResults() = {false, false};
    Command(CommandId::RecordingControl);
    EXPECT_EQ(ui->Launched().size(), 2u);
    ASSERT_EQ(ui->Messages().size(), 1u);
    EXPECT_EQ(ui->Messages()[0].text, "Unable to launch the Windows Recording Control Panel.");
}

TEST_F(TunerWndCommands, NoiseFloorDragReachesTheSettings) {
    Start();
    NoiseFloorEvent event(EVT_NOISE_FLOOR_CHANGED, 0, 0.75f);
    event.SetEventObject(w->EnergyIndicator());
    w->EnergyIndicator()->GetEventHandler()->ProcessEvent(event);
    EXPECT_FLOAT_EQ(w->Settings().config.NoiseFloor, -15.0f);
    EXPECT_TRUE(PumpUntil([&] { return w->LevelControlText() == "LEVEL:-15.0"; }, 500ms));
}

TEST_F(TunerWndCommands, ExitClosesAndSaves) {
    Start();
    Command(CommandId::Exit);
    PumpFor(100ms);
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "tuner_config.xml"));
    EXPECT_TRUE(wxTopLevelWindows.IsEmpty());
}

TEST_F(TunerWndCommands, OnlyTheTableShortcutsRunCommands) {
    Start();
    w->Raise();
    w->SetFocus();
    PumpFor(200ms);
    wxUIActionSimulator keys;
    // Keys go to the focused window of the display, which another program
    // on the same display may take: Ctrl+R (a shortcut) follows Ctrl+S and
    // proves that both reached this window.
    const bool smooth = w->Settings().config.Smooth;
    ui->LaunchResults() = {true};
    keys.Char('s', wxMOD_CONTROL);
    keys.Char('r', wxMOD_CONTROL);
    if (!PumpUntil([&] { return ui->Launched().size() == 1; }, 1000ms))
        GTEST_SKIP() << "the keyboard focus is elsewhere on this display";
    PumpFor(100ms);
    // Ctrl+S is shown in the Pixel Smoothing item but is no shortcut.
    EXPECT_EQ(w->Settings().config.Smooth, smooth);
}
