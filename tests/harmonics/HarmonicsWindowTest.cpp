// The harmonics window with the main window: opening and closing it, its
// lists and the graph reaching the settings, the frames of a note playing,
// its placement, and a restart that restores it. (Lists, captions and
// geometry: the headless tests.)

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

using namespace GuiTest;
using namespace std::chrono_literals;

namespace {

class HarmonicsWindow : public WindowTest {
protected:
    CHarmonicsDialog* Dialog() const { return w->HarmonicsDialog(); }

    // Starts the main window and opens this one from its menu.
    void Open() {
        Start();
        Command(CommandId::HarmonicsGraph);
        ASSERT_NE(Dialog(), nullptr);
    }

    // Sends `type` from `control` as a click of the user would.
    static void Send(wxWindow* control, wxEventType type, int selection = 0) {
        wxCommandEvent event(type, control->GetId());
        event.SetEventObject(control);
        event.SetInt(selection);
        control->ProcessWindowEvent(event);
        PumpFor(30ms);
    }

    // Chooses the item carrying `data` the way the user does.
    static void Choose(wxChoice* list, int data) {
        for (unsigned i = 0; i < list->GetCount(); ++i) {
            if (reinterpret_cast<std::intptr_t>(list->GetClientData(i)) != data) continue;
            list->SetSelection(static_cast<int>(i));
            return Send(list, wxEVT_CHOICE, static_cast<int>(i));
        }
        FAIL() << "no item with data " << data;
    }

    // Hands the graph's queued event to the main window and waits for `done`.
    void FromGraph(wxEventType type, std::function<bool()> done) {
        wxQueueEvent(Dialog(), new wxCommandEvent(type));
        EXPECT_TRUE(PumpUntil(done, 1000ms));
    }
};

}  // namespace

TEST_F(HarmonicsWindow, CommandOpensAndClosesTheWindowWithItsCheckMark) {
    Open();
    EXPECT_TRUE(Dialog()->IsShown());
    EXPECT_TRUE(w->Settings().config.HarmonicsVisible);
    EXPECT_EQ(w->Pipeline().HarmonicsView(), Dialog());
    UpdateMenus();
    EXPECT_TRUE(Item(CommandId::HarmonicsGraph)->IsChecked());
    EXPECT_EQ(Dialog()->CurrentGroup()->GetLabel(), "Current Note: A4");  // the seeded A4
    EXPECT_EQ(Dialog()->ReferenceOptionList()->GetStringSelection(), "Previous Note");
    EXPECT_EQ(Dialog()->GetStatusBar()->GetFieldsCount(), 5);
    // Never placed before: beside the tuner, at its first size; never smaller than its minimum.
    EXPECT_EQ(Dialog()->GetPosition(), wxPoint(w->GetRect().GetRight() + 1, w->GetRect().y));
    EXPECT_EQ(Dialog()->GetSize(), Dialog()->ConvertDialogToPixels(wxSize(322, 221)));
    // The graph follows the group of the last list, in place and in the tab order.
    EXPECT_EQ(Dialog()->Graph()->GetPrevSibling(), Dialog()->ReferenceGroup());
    EXPECT_EQ(Dialog()->ReferenceGroup()->GetChildren().GetLast()->GetData(),
              Dialog()->ReferenceOptionList());
    EXPECT_EQ(Dialog()->Graph()->GetPosition(), wxPoint(158, 4));
    Dialog()->SetSize(200, 100);
    PumpFor(50ms);
    EXPECT_GE(Dialog()->GetSize().x, 490);
    EXPECT_GE(Dialog()->GetSize().y, 282);

    Command(CommandId::HarmonicsGraph);
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_EQ(w->Pipeline().HarmonicsView(), nullptr);
    EXPECT_FALSE(w->Settings().config.HarmonicsVisible);
    UpdateMenus();
    EXPECT_FALSE(Item(CommandId::HarmonicsGraph)->IsChecked());

    // Its own close box: forgotten at once, and display ticks go on without it.
    Command(CommandId::HarmonicsGraph);
    ASSERT_NE(Dialog(), nullptr);
    Dialog()->Close();
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_EQ(w->Pipeline().HarmonicsView(), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return !w->Settings().config.HarmonicsVisible; }, 1000ms));
    PumpFor(100ms);
    Command(CommandId::HarmonicsGraph);
    EXPECT_NE(Dialog(), nullptr);
}

TEST_F(HarmonicsWindow, ListsAndTheGraphReachTheSettingsAndTheReference) {
    Open();
    // Store As Reference, queued to the main window (before a new note could clear it).
    wxCommandEvent press(wxEVT_BUTTON, Dialog()->StoreButton()->GetId());
    press.SetEventObject(Dialog()->StoreButton());
    Dialog()->StoreButton()->ProcessWindowEvent(press);
    EXPECT_TRUE(PumpUntil([&] { return w->Pipeline().Tracker().Track().storeRequest; }, 1000ms));

    Choose(Dialog()->CurrentHarmonicList(), 7);
    EXPECT_EQ(w->Settings().config.CurrentHarmonicSelected, 7);
    EXPECT_EQ(Dialog()->Graph()->SelectedCurrent(), 7);
    // Current note A4 (69): an octave above is A5.
    Choose(Dialog()->ReferenceOptionList(), 1003);
    EXPECT_EQ(w->Settings().config.ReferenceOption, 1003);
    EXPECT_EQ(Dialog()->ReferenceGroup()->GetLabel(), "Reference Note: A5");
    EXPECT_NE(Dialog()->State().referenceHistory, nullptr);
    Choose(Dialog()->ReferenceOptionList(), 1001);
    EXPECT_EQ(Dialog()->ReferenceGroup()->GetLabel(), "Reference Note:");
    EXPECT_EQ(Dialog()->State().referenceHistory, nullptr);
    Dialog()->AlwaysStoreBox()->SetValue(false);
    Send(Dialog()->AlwaysStoreBox(), wxEVT_CHECKBOX);
    EXPECT_FALSE(w->Settings().config.AlwaysStore);

    // A click on the 5th partial in the graph, then a right click that clears.
    CCompressedHarmonicsIndicator* graph = Dialog()->Graph();
    graph->SetSelection(5, -1);
    FromGraph(EVT_COMPRESSED_SELECTION, [&] { return w->Settings().config.CurrentHarmonicSelected == 5; });
    EXPECT_EQ(Dialog()->CurrentHarmonicList()->GetStringSelection(), "5");
    graph->SetSelection(-1, -1);
    FromGraph(EVT_COMPRESSED_SELECTION, [&] { return w->Settings().config.CurrentHarmonicSelected == -1; });
    EXPECT_EQ(Dialog()->CurrentHarmonicList()->GetStringSelection(), "None");
    // A wheel zoom hands over the spans.
    graph->SetSpans(2.5f, 50.0f);
    FromGraph(EVT_COMPRESSED_RANGE, [&] { return w->Settings().config.CentRange == 50.0f; });
    EXPECT_EQ(w->Settings().config.TimeRange, 2.5f);
}

// A note from the device, delivered at real-time pace, reaches the graph.
TEST_F(HarmonicsWindow, TheGraphIsHandedTheFramesOfTheNotePlaying) {
    device = ToneDevice(220.0);  // A3
    Open();
    ASSERT_TRUE(
        PumpUntil([&] { return Dialog()->State().currentNote == 57 && Dialog()->FrameTicks() >= 5; }, 4000ms))
        << "current note " << Dialog()->State().currentNote;
    ASSERT_NE(Dialog()->State().currentHistory, nullptr);
    const HarmonicHistory& history = *Dialog()->State().currentHistory;
    ASSERT_FALSE(history.Segments().empty());
    // The history's time grows with the clock, never ahead of it.
    const float t0 = history.EndTime();
    PumpFor(500ms);
    EXPECT_GT(history.EndTime(), t0);
    EXPECT_LT(history.EndTime() - t0, 1.5f);
    EXPECT_EQ(Dialog()->CurrentGroup()->GetLabel(), "Current Note: A3");
}

TEST_F(HarmonicsWindow, ARectanglePartlyOffTheDesktopIsMovedInside) {
    ConfigRecord config;
    config.HarmonicsVisible = true;
    const wxRect work = wxDisplay(0u).GetClientArea();
    config.HarmonicsPosLeft = work.GetRight() - 200;
    config.HarmonicsPosTop = work.GetBottom() - 100;
    config.HarmonicsPosRight = config.HarmonicsPosLeft + 600;
    config.HarmonicsPosBottom = config.HarmonicsPosTop + 400;
    SaveSettings(config);
    Start();
    ASSERT_NE(Dialog(), nullptr);
    PumpFor(50ms);
    const wxRect r = Dialog()->GetRect();
    EXPECT_EQ(r.GetSize(), wxSize(600, 400));
    EXPECT_EQ(r.GetBottomRight(), work.GetBottomRight());
}

TEST_F(HarmonicsWindow, ARestartRestoresTheWindowAndItsSettings) {
    Open();
    Dialog()->SetSize(300, 200, 640, 420);
    Choose(Dialog()->CurrentHarmonicList(), 2);
    Choose(Dialog()->ReferenceHarmonicList(), 4);
    Choose(Dialog()->ReferenceOptionList(), 40);
    Dialog()->AlwaysStoreBox()->SetValue(false);
    Send(Dialog()->AlwaysStoreBox(), wxEVT_CHECKBOX);
    PumpFor(50ms);
    const wxRect before = Dialog()->GetRect();
    CloseWindow();

    Start();
    ASSERT_NE(Dialog(), nullptr);
    PumpFor(50ms);
    EXPECT_EQ(Dialog()->GetRect(), before);
    EXPECT_EQ(Dialog()->CurrentHarmonicList()->GetStringSelection(), "2");
    EXPECT_EQ(Dialog()->ReferenceHarmonicList()->GetStringSelection(), "4");
    EXPECT_EQ(Dialog()->ReferenceOptionList()->GetStringSelection(), "Manual: E3");
    EXPECT_EQ(Dialog()->ReferenceGroup()->GetLabel(), "Reference Note: E3");
    EXPECT_FALSE(Dialog()->AlwaysStoreBox()->GetValue());
}

TEST_F(HarmonicsWindow, AlwaysOnTopHoldsForBothWindows) {
    ConfigRecord config;
    config.AlwaysOnTop = true;
    config.HarmonicsVisible = true;
    SaveSettings(config);
    Start();
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_TRUE(Dialog()->HasFlag(wxSTAY_ON_TOP));
    Command(CommandId::AlwaysOnTop);
    EXPECT_FALSE(Dialog()->HasFlag(wxSTAY_ON_TOP));
}

TEST_F(HarmonicsWindow, ControlTabIsTakenByBothWindowsAndTabIsNot) {
    auto keyTaken = [](wxWindow* target, bool control) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = WXK_TAB;
        key.m_controlDown = control;
        key.SetEventObject(target);
        target->GetEventHandler()->ProcessEvent(key);
        return !key.GetSkipped();
    };
    Start();
    EXPECT_TRUE(keyTaken(w, true));  // even without the harmonics window
    Command(CommandId::HarmonicsGraph);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_TRUE(keyTaken(w, true));
    EXPECT_TRUE(keyTaken(Dialog(), true));
    PumpFor(50ms);
    EXPECT_FALSE(keyTaken(Dialog(), false));  // on to the toolkit's own navigation
}
