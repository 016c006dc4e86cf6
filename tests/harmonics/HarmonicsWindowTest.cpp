// The harmonics window with the main window: opening and closing it, its
// lists against the settings, the graph's selection reaching the main
// window, its placement and size limit, and a restart that restores it.

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/statbox.h>
#include <wx/statusbr.h>

#include "GuiTestSupport.h"
#include "app/logic/CommandIds.h"
#include "harmonics/HarmonicsDialog.h"
#include "indicators/CompressedHarmonicsIndicator.h"
#include "persistence/ConfigFile.h"

using namespace GuiTest;
using namespace std::chrono_literals;

namespace {

class HarmonicsWindow : public WindowTest {
protected:
    CHarmonicsDialog* Dialog() const { return w->HarmonicsDialog(); }

    void SaveConfig(const ConfigRecord& config) {
        ASSERT_TRUE(::SaveConfig(config, dir.Path() / "tuner_config.xml"));
    }

    // Chooses the item carrying `data` the way the user does.
    static void Choose(wxChoice* list, int data) {
        for (unsigned i = 0; i < list->GetCount(); ++i) {
            if (reinterpret_cast<std::intptr_t>(list->GetClientData(i)) != data) continue;
            list->SetSelection(static_cast<int>(i));
            wxCommandEvent event(wxEVT_CHOICE, list->GetId());
            event.SetEventObject(list);
            event.SetInt(static_cast<int>(i));
            list->ProcessWindowEvent(event);
            PumpFor(30ms);
            return;
        }
        FAIL() << "no item with data " << data;
    }

    static int SelectedData(wxChoice* list) {
        const int i = list->GetSelection();
        if (i == wxNOT_FOUND) return -1000;
        return static_cast<int>(
            reinterpret_cast<std::intptr_t>(list->GetClientData(static_cast<unsigned>(i))));
    }
};

}  // namespace

TEST_F(HarmonicsWindow, CommandOpensAndClosesTheWindowWithItsCheckMark) {
    Start();
    UpdateMenus();
    EXPECT_TRUE(Item(CommandId::HarmonicsGraph)->IsEnabled());
    EXPECT_FALSE(Item(CommandId::HarmonicsGraph)->IsChecked());
    ASSERT_EQ(Dialog(), nullptr);

    Command(CommandId::HarmonicsGraph);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_EQ(Dialog()->GetTitle(), "Harmonics Graph");
    EXPECT_TRUE(Dialog()->IsShown());
    EXPECT_TRUE(w->Settings().config.HarmonicsVisible);
    EXPECT_EQ(w->Pipeline().HarmonicsView(), Dialog());
    UpdateMenus();
    EXPECT_TRUE(Item(CommandId::HarmonicsGraph)->IsChecked());
    // The seeded A4 is the current note.
    EXPECT_EQ(Dialog()->CurrentGroup()->GetLabel(), "Current Note: A4");
    // Never placed before: beside the tuner, at its first size.
    EXPECT_EQ(Dialog()->GetPosition(), wxPoint(w->GetRect().GetRight() + 1, w->GetRect().y));
    EXPECT_EQ(Dialog()->GetSize(), Dialog()->ConvertDialogToPixels(wxSize(322, 221)));

    Command(CommandId::HarmonicsGraph);
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_EQ(w->Pipeline().HarmonicsView(), nullptr);
    EXPECT_FALSE(w->Settings().config.HarmonicsVisible);
    UpdateMenus();
    EXPECT_FALSE(Item(CommandId::HarmonicsGraph)->IsChecked());
}

TEST_F(HarmonicsWindow, HasTheControlsOfItsTemplateAndTheGraphAfterTheLastList) {
    Start();
    Command(CommandId::HarmonicsGraph);
    ASSERT_NE(Dialog(), nullptr);
    for (int id : {1080, 1072, 1071, 1076, 1079, 1074, 1078})
        EXPECT_NE(Dialog()->FindWindow(id), nullptr) << id;
    EXPECT_EQ(Dialog()->StoreButton()->GetLabel(), "Store As Reference");
    EXPECT_EQ(Dialog()->AlwaysStoreBox()->GetLabel(), "Always Store");
    EXPECT_EQ(Dialog()->CurrentHarmonicList()->GetCount(), 65u);
    EXPECT_EQ(Dialog()->ReferenceOptionList()->GetCount(), 105u);
    EXPECT_EQ(Dialog()->CurrentHarmonicList()->GetStringSelection(), "None");
    EXPECT_EQ(Dialog()->ReferenceOptionList()->GetStringSelection(), "Previous Note");
    EXPECT_TRUE(Dialog()->AlwaysStoreBox()->GetValue());
    EXPECT_EQ(Dialog()->Graph()->GetName(), "Compressed Harmonics Indicator");
    EXPECT_EQ(Dialog()->GetStatusBar()->GetFieldsCount(), 5);

    // Tab order: the graph follows the group that holds list 1078.
    wxWindow* const graph = Dialog()->Graph();
    EXPECT_EQ(graph->GetPrevSibling(), Dialog()->ReferenceGroup());
    EXPECT_EQ(Dialog()->ReferenceOptionList()->GetParent(), Dialog()->ReferenceGroup());
    EXPECT_EQ(Dialog()->ReferenceGroup()->GetChildren().GetLast()->GetData(),
              Dialog()->ReferenceOptionList());

    // The graph's place inside the client area.
    const wxSize client = Dialog()->GetClientSize();
    const int status = Dialog()->GetStatusBar()->GetSize().y;
    EXPECT_EQ(graph->GetPosition(), wxPoint(158, 4));
    EXPECT_EQ(graph->GetSize(), wxSize(client.x - 158 - 4, client.y + status - 26));
}

TEST_F(HarmonicsWindow, CannotBeMadeSmallerThanItsMinimum) {
    Start();
    Command(CommandId::HarmonicsGraph);
    ASSERT_NE(Dialog(), nullptr);
    Dialog()->SetSize(200, 100);
    PumpFor(50ms);
    EXPECT_GE(Dialog()->GetSize().x, 490);
    EXPECT_GE(Dialog()->GetSize().y, 282);
}

TEST_F(HarmonicsWindow, SavedSettingsSelectTheListItems) {
    struct Case {
        int option;
        const char* text;
    };
    for (const Case& c : std::vector<Case>{
             {0, "Manual: C0"}, {57, "Manual: A4"}, {96, "Manual: C8"}, {1003, "Octave above"}}) {
        ConfigRecord config;
        config.HarmonicsVisible = true;
        config.ReferenceOption = c.option;
        config.CurrentHarmonicSelected = 3;
        config.ReferenceHarmonicSelected = 64;
        config.AlwaysStore = false;
        SaveConfig(config);
        Start();
        ASSERT_NE(Dialog(), nullptr) << c.option;
        EXPECT_EQ(Dialog()->ReferenceOptionList()->GetStringSelection(), c.text);
        EXPECT_EQ(SelectedData(Dialog()->ReferenceOptionList()), c.option);
        EXPECT_EQ(Dialog()->CurrentHarmonicList()->GetStringSelection(), "3");
        EXPECT_EQ(Dialog()->ReferenceHarmonicList()->GetStringSelection(), "64");
        EXPECT_FALSE(Dialog()->AlwaysStoreBox()->GetValue());
        CloseWindow();
    }
}

TEST_F(HarmonicsWindow, ListChoicesReachTheSettingsAndMoveTheReference) {
    Start();
    Command(CommandId::HarmonicsGraph);
    ASSERT_NE(Dialog(), nullptr);
    Choose(Dialog()->CurrentHarmonicList(), 7);
    EXPECT_EQ(w->Settings().config.CurrentHarmonicSelected, 7);
    EXPECT_EQ(Dialog()->Graph()->SelectedCurrent(), 7);
    // Current note A4 (69): an octave above is A5.
    Choose(Dialog()->ReferenceOptionList(), 1003);
    EXPECT_EQ(w->Settings().config.ReferenceOption, 1003);
    EXPECT_EQ(Dialog()->State().referenceNote, 81);
    EXPECT_EQ(Dialog()->ReferenceGroup()->GetLabel(), "Reference Note: A5");
    EXPECT_NE(Dialog()->State().referenceHistory, nullptr);
    Choose(Dialog()->ReferenceOptionList(), 1001);
    EXPECT_EQ(Dialog()->ReferenceGroup()->GetLabel(), "Reference Note:");
    EXPECT_EQ(Dialog()->State().referenceHistory, nullptr);

    Dialog()->AlwaysStoreBox()->SetValue(false);
    wxCommandEvent click(wxEVT_CHECKBOX, 1076);
    click.SetEventObject(Dialog()->AlwaysStoreBox());
    Dialog()->AlwaysStoreBox()->ProcessWindowEvent(click);
    PumpFor(30ms);
    EXPECT_FALSE(w->Settings().config.AlwaysStore);
}

TEST_F(HarmonicsWindow, OctaveAboveTheHighestNotesGivesNoReference) {
    // E7 (note 100) sounds: an octave above would be 112, past C8.
    device = ToneDevice(2637.02);
    Start(true);
    Command(CommandId::HarmonicsGraph);
    ASSERT_NE(Dialog(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Dialog()->State().currentNote == 100; }, 3000ms))
        << Dialog()->State().currentNote;
    Choose(Dialog()->ReferenceOptionList(), 1003);
    EXPECT_EQ(Dialog()->State().referenceNote, NoteIndexInvalid);
    EXPECT_EQ(Dialog()->State().referenceHistory, nullptr);
    EXPECT_EQ(Dialog()->ReferenceGroup()->GetLabel(), "Reference Note:");
    // An octave below is there.
    Choose(Dialog()->ReferenceOptionList(), 1004);
    EXPECT_EQ(Dialog()->State().referenceNote, 88);
}

TEST_F(HarmonicsWindow, ASelectionInTheGraphSelectsTheListAndTheSetting) {
    Start();
    Command(CommandId::HarmonicsGraph);
    ASSERT_NE(Dialog(), nullptr);
    // What a click on the 5th partial does: the graph selects it and queues
    // its selection event to its parent.
    CCompressedHarmonicsIndicator* graph = Dialog()->Graph();
    graph->SetSelection(5, -1);
    wxQueueEvent(graph->GetParent(), new wxCommandEvent(EVT_COMPRESSED_SELECTION));
    ASSERT_TRUE(PumpUntil([&] { return w->Settings().config.CurrentHarmonicSelected == 5; }, 1000ms));
    EXPECT_EQ(Dialog()->CurrentHarmonicList()->GetStringSelection(), "5");
    EXPECT_EQ(Dialog()->ReferenceHarmonicList()->GetStringSelection(), "None");

    // A right click clears both.
    graph->SetSelection(-1, -1);
    wxQueueEvent(graph->GetParent(), new wxCommandEvent(EVT_COMPRESSED_SELECTION));
    ASSERT_TRUE(PumpUntil([&] { return w->Settings().config.CurrentHarmonicSelected == -1; }, 1000ms));
    EXPECT_EQ(Dialog()->CurrentHarmonicList()->GetStringSelection(), "None");

    // A wheel zoom hands over the spans.
    graph->SetSpans(2.5f, 50.0f);
    wxQueueEvent(graph->GetParent(), new wxCommandEvent(EVT_COMPRESSED_RANGE));
    ASSERT_TRUE(PumpUntil([&] { return w->Settings().config.TimeRange == 2.5f; }, 1000ms));
    EXPECT_EQ(w->Settings().config.CentRange, 50.0f);
}

TEST_F(HarmonicsWindow, ARectanglePartlyOffTheDesktopIsMovedInside) {
    ConfigRecord config;
    config.HarmonicsVisible = true;
    const wxRect work = wxDisplay(0u).GetClientArea();
    config.HarmonicsPosLeft = work.GetRight() - 200;
    config.HarmonicsPosTop = work.GetBottom() - 100;
    config.HarmonicsPosRight = config.HarmonicsPosLeft + 600;
    config.HarmonicsPosBottom = config.HarmonicsPosTop + 400;
    SaveConfig(config);
    Start();
    ASSERT_NE(Dialog(), nullptr);
    PumpFor(50ms);
    const wxRect r = Dialog()->GetRect();
    EXPECT_EQ(r.GetSize(), wxSize(600, 400));
    EXPECT_TRUE(work.Contains(r)) << r.x << "," << r.y;
    EXPECT_EQ(r.GetRight(), work.GetRight());
    EXPECT_EQ(r.GetBottom(), work.GetBottom());
}

TEST_F(HarmonicsWindow, ClosingTheWindowTellsTheMainWindow) {
    Start();
    Command(CommandId::HarmonicsGraph);
    ASSERT_NE(Dialog(), nullptr);
    Dialog()->Close();
    EXPECT_EQ(Dialog(), nullptr);  // forgotten at once
    EXPECT_EQ(w->Pipeline().HarmonicsView(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !w->Settings().config.HarmonicsVisible; }, 1000ms));
    // Display ticks go on without it.
    PumpFor(100ms);
    Command(CommandId::HarmonicsGraph);
    EXPECT_NE(Dialog(), nullptr);
}

TEST_F(HarmonicsWindow, ARestartRestoresTheWindowAndItsSettings) {
    Start();
    Command(CommandId::HarmonicsGraph);
    ASSERT_NE(Dialog(), nullptr);
    Dialog()->SetSize(300, 200, 640, 420);
    Choose(Dialog()->CurrentHarmonicList(), 2);
    Choose(Dialog()->ReferenceHarmonicList(), 4);
    Choose(Dialog()->ReferenceOptionList(), 40);
    PumpFor(50ms);
    const wxRect before = Dialog()->GetRect();
    CloseWindow();

    ConfigRecord saved;
    LoadConfig(saved, dir.Path() / "tuner_config.xml");
    EXPECT_TRUE(saved.HarmonicsVisible);
    EXPECT_EQ(saved.ReferenceOption, 40);

    Start();
    ASSERT_NE(Dialog(), nullptr);
    PumpFor(50ms);
    EXPECT_EQ(Dialog()->GetRect(), before);
    EXPECT_EQ(Dialog()->CurrentHarmonicList()->GetStringSelection(), "2");
    EXPECT_EQ(Dialog()->ReferenceHarmonicList()->GetStringSelection(), "4");
    EXPECT_EQ(Dialog()->ReferenceOptionList()->GetStringSelection(), "Manual: E3");
    EXPECT_EQ(Dialog()->ReferenceGroup()->GetLabel(), "Reference Note: E3");
}

TEST_F(HarmonicsWindow, StoreAsReferenceAsksToKeepTheCurrentNote) {
    Start();
    Command(CommandId::HarmonicsGraph);
    ASSERT_NE(Dialog(), nullptr);
    ASSERT_FALSE(w->Pipeline().Tracker().Track().storeRequest);
    wxCommandEvent press(wxEVT_BUTTON, 1071);
    press.SetEventObject(Dialog()->StoreButton());
    Dialog()->StoreButton()->ProcessWindowEvent(press);
    // Queued: the main window sees it once the button's handler returned.
    EXPECT_FALSE(w->Pipeline().Tracker().Track().storeRequest);
    ASSERT_TRUE(PumpUntil([&] { return w->Pipeline().Tracker().Track().storeRequest; }, 1000ms));
}

TEST_F(HarmonicsWindow, AlwaysOnTopHoldsForBothWindows) {
    ConfigRecord config;
    config.AlwaysOnTop = true;
    config.HarmonicsVisible = true;
    SaveConfig(config);
    Start();
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_TRUE(Dialog()->HasFlag(wxSTAY_ON_TOP));
    Command(CommandId::AlwaysOnTop);
    EXPECT_FALSE(w->HasFlag(wxSTAY_ON_TOP));
    EXPECT_FALSE(Dialog()->HasFlag(wxSTAY_ON_TOP));
    Command(CommandId::AlwaysOnTop);
    EXPECT_TRUE(Dialog()->HasFlag(wxSTAY_ON_TOP));
}

TEST_F(HarmonicsWindow, ControlTabIsTakenByBothWindows) {
    Start();
    // Without the harmonics window Ctrl+Tab does nothing, but is still taken.
    auto controlTab = [](wxWindow* target) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = WXK_TAB;
        key.m_controlDown = true;
        key.SetEventObject(target);
        target->GetEventHandler()->ProcessEvent(key);
        return key.GetSkipped();
    };
    EXPECT_FALSE(controlTab(w));
    Command(CommandId::HarmonicsGraph);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_FALSE(controlTab(w));
    EXPECT_FALSE(controlTab(Dialog()));
    PumpFor(50ms);
    // A plain Tab goes on to the toolkit's own navigation.
    wxKeyEvent tab(wxEVT_CHAR_HOOK);
    tab.m_keyCode = WXK_TAB;
    Dialog()->GetEventHandler()->ProcessEvent(tab);
    EXPECT_TRUE(tab.GetSkipped());
}
