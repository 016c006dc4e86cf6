// Ctrl+N: the note preset editor opened from the main window, and what the
// window does with the list it hands back.

#include <functional>

#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include "GuiTestSupport.h"
#include "app/logic/CommandIds.h"
#include "dialogs/PresetDialog.h"
#include "grid/ZelvoGridCtrl.h"
#include "indicators/GlobalIndicator.h"
#include "persistence/ListFiles.h"

using namespace GuiTest;
using namespace std::chrono_literals;

namespace {

// Runs `act` on the preset editor once it is up in its modal loop.
class EditorScript {
public:
    explicit EditorScript(std::function<void(CPresetDialogEx&)> act) : m_act(std::move(act)) {
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Poll(); });
        m_timer.Start(20);
    }
    bool Ran() const { return m_ran; }

private:
    void Poll() {
        for (wxWindow* top : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<CPresetDialogEx*>(top);
            if (!dialog || !dialog->IsModal()) continue;
            m_timer.Stop();
            m_ran = true;
            m_act(*dialog);
            return;
        }
    }

    std::function<void(CPresetDialogEx&)> m_act;
    wxTimer m_timer;
    bool m_ran = false;
};

void Click(wxDialog& dialog, int id) {
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(dialog.FindWindow(id));
    dialog.FindWindow(id)->GetEventHandler()->ProcessEvent(click);
}

void Type(ZelvoGridCtrl& grid, int row, int column, const wxString& text) {
    grid.FocusRow(row, column);
    grid.EnableCellEditControl();
    wxGridCellEditor* cellEditor = grid.GetCellEditor(row, column);
    auto* editor = dynamic_cast<wxTextCtrl*>(cellEditor->GetControl());
    cellEditor->DecRef();
    ASSERT_NE(editor, nullptr);
    editor->SetValue(text);
    grid.DisableCellEditControl();
}

}  // namespace

class TunerWndPresetEditor : public WindowTest {
protected:
    void SetUp() override {
        PresetList presets;
        presets.entries.push_back({"Guitar", ParseNoteList("E2,A2,D3,G3,B3,E4")});
        presets.entries.push_back({"Violin", ParseNoteList("G3,D4,A4,E5")});
        presets.SelectedIndex = 1;
        ASSERT_TRUE(SavePresetList(presets, dir.Path() / "tuner_presets.xml"));
        Start();
    }
};

TEST_F(TunerWndPresetEditor, SaveHandsTheListBackAndTheSubmenuAndLadderFollow) {
    UpdateMenus();
    ASSERT_TRUE(Item(CommandId::EditNotePresets)->IsEnabled());
    EditorScript script([](CPresetDialogEx& dialog) {
        EXPECT_EQ(dialog.ListGrid()->Text(1, CPresetDialogEx::NotesColumn), "G3, D4, A4, E5");
        Type(*dialog.ListGrid(), 0, CPresetDialogEx::NameColumn, "Bass");
        Type(*dialog.ListGrid(), 1, CPresetDialogEx::NotesColumn, "a4,e5");
        Click(dialog, CPresetDialogEx::SaveId);
    });
    Command(CommandId::EditNotePresets);
    ASSERT_TRUE(script.Ran());
    EXPECT_EQ(w->Settings().presets.entries[0].name, "Bass");
    EXPECT_EQ(w->Settings().presets.SelectedIndex, 1);
    EXPECT_EQ(Item(3000)->GetItemLabelText(), "Bass");
    EXPECT_EQ(w->GlobalIndicator()->GetNotes(), ParseNoteList("A4,E5"));
}

TEST_F(TunerWndPresetEditor, ASelectionLeftBeyondTheListShowsTheDefaultNotes) {
    EditorScript script([](CPresetDialogEx& dialog) {
        dialog.ListGrid()->FocusRow(1);
        Click(dialog, CPresetDialogEx::DeleteId);
        Click(dialog, CPresetDialogEx::SaveId);
    });
    Command(CommandId::EditNotePresets);
    ASSERT_TRUE(script.Ran());
    EXPECT_EQ(w->Settings().presets.entries.size(), 1u);
    EXPECT_EQ(w->Settings().presets.SelectedIndex, 1);  // kept as stored
    EXPECT_EQ(w->GlobalIndicator()->GetNotes(), ParseNoteList("C1,C2,C3,C4,C5,C6,C7,C8"));
    EXPECT_EQ(w->GetMenuBar()->FindItem(3001), nullptr);
}

TEST_F(TunerWndPresetEditor, CancelChangesNothing) {
    const SettingsFiles before = w->Settings();
    EditorScript script([](CPresetDialogEx& dialog) { Click(dialog, wxID_CANCEL); });
    Command(CommandId::EditNotePresets);
    ASSERT_TRUE(script.Ran());
    EXPECT_EQ(w->Settings().presets, before.presets);
    EXPECT_EQ(w->GlobalIndicator()->GetNotes(), ParseNoteList("G3,D4,A4,E5"));
}
