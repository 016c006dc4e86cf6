// The three list editors on real grids under Xvfb: the buttons, typing into
// cells, the offsets grid, the question before discarding changes, Save
// handing the copy back, and the scale-file buttons.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/settings.h>
#include <wx/uiaction.h>

#include "DialogTestSupport.h"
#include "TempDirectory.h"
#include "dialogs/OffsetListDialog.h"
#include "dialogs/PresetDialog.h"
#include "dialogs/TemperamentDialog.h"
#include "dialogs/logic/ScalaFiles.h"
#include "grid/GridTyping.h"
#include "persistence/ListFiles.h"

using namespace std::chrono_literals;
using DialogTest::Click;

namespace {

// Records the message boxes a dialog shows and answers them with `answer`.
EditorMessagePresenter Answering(std::vector<wxString>& asked, int answer) {
    return [&asked, answer](const wxString& text, const wxString& caption, long style) {
        asked.push_back(text + "|" + caption + ((style & wxYES_NO) ? "|yes/no" : ""));
        return answer;
    };
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

// Ends a modal dialog the action left open; true when it was still open.
bool EndIfOpen(wxDialog& dialog) {
    if (!dialog.IsModal()) return false;
    dialog.EndModal(wxID_ABORT);
    return true;
}

PresetList ThreePresets() {
    PresetList list;
    list.entries = {{"A", ParseNoteList("C4")}, {"B", ParseNoteList("D4")}, {"C", ParseNoteList("E4")}};
    list.SelectedIndex = 2;
    return list;
}

TemperamentList TwoTemperaments(int selected = 1) {
    TemperamentList list;
    list.entries.resize(2);
    list.entries[0].name = "First";
    list.entries[1].name = "Second";
    list.entries[1].SetOffset(4, -13.7f);
    list.SelectedIndex = selected;
    list.SelectedKey = 5;
    return list;
}

}  // namespace

TEST(ListEditors, TheButtonsEditRowsAroundTheFocusedOneAndTypedNotesShowCanonically) {
    using D = CPresetDialogEx;
    D dialog(nullptr, ThreePresets());
    ShowNonModal(dialog);
    ZelvoGridCtrl& grid = *dialog.ListGrid();
    ASSERT_EQ(grid.FocusedRow(), -1);
    Click(dialog, D::NewId);  // nothing focused: appended
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"A", "B", "C", "New Preset"}));
    EXPECT_EQ(grid.FocusedRow(), 3);
    grid.FocusRow(1);
    Click(dialog, D::UpId);                         // the focus stays on the row
    EXPECT_EQ(grid.Text(0, D::NotesColumn), "D4");  // both columns move
    EXPECT_EQ(grid.FocusedRow(), 1);
    Click(dialog, D::DownId);
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"B", "C", "A", "New Preset"}));
    Click(dialog, D::NewId);  // after the focused row
    EXPECT_EQ(grid.Text(2, D::NameColumn), "New Preset");
    EXPECT_EQ(grid.Text(2, D::NotesColumn), "");
    grid.FocusRow(0);
    Click(dialog, D::DeleteId);
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"C", "New Preset", "A", "New Preset"}));
    EXPECT_EQ(grid.FocusedRow(), 0);
    EXPECT_EQ(dialog.Model().Records()[2].name, "A");

    TypeIntoCell(grid, 1, D::NotesColumn, "e2, a2,d3");
    EXPECT_EQ(grid.Text(1, D::NotesColumn), "E2, A2, D3");
    EXPECT_EQ(dialog.Model().Records()[1].notes, ParseNoteList("E2,A2,D3"));
    TypeIntoCell(grid, 1, D::NameColumn, "Bass & more");
    EXPECT_EQ(dialog.Model().Records()[1].name, "Bass & more");
}

TEST(ListEditors, OffsetsShowSignedNegativesRedAndGreyWithoutATable) {
    StretchList list;
    list.entries.resize(1);
    list.entries[0].SetOffset(69, -2.5f);
    CStretchDialog dialog(nullptr, list);
    ShowNonModal(dialog);
    ZelvoGridCtrl& offsets = *dialog.OffsetsGrid();
    const wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
    const wxColour red(255, 0, 0);
    EXPECT_EQ(offsets.Text(57, 0), "A4");
    EXPECT_EQ(offsets.Text(57, 1), "-2.5");
    EXPECT_EQ(offsets.GetCellTextColour(57, 1), red);
    EXPECT_EQ(offsets.Text(0, 1), "+0.0");
    EXPECT_EQ(offsets.GetCellTextColour(0, 1), text);
    EXPECT_EQ(offsets.GetCellBackgroundColour(3, 1), wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    TypeIntoCell(offsets, 57, 1, "3.25");
    EXPECT_EQ(offsets.Text(57, 1), "+3.2");
    EXPECT_EQ(offsets.GetCellTextColour(57, 1), text);
    EXPECT_FLOAT_EQ(dialog.Model().Records()[0].Offset(69), 3.25f);
    TypeIntoCell(offsets, 57, 1, "-0.5");
    EXPECT_EQ(offsets.GetCellTextColour(57, 1), red);

    dialog.ListGrid()->FocusRow(0);
    Click(dialog, CStretchDialog::DeleteId);  // the only table
    EXPECT_EQ(dialog.Model().Selected(), -1);
    EXPECT_FALSE(offsets.IsEnabled());
    for (int row : {0, 57, 96}) {
        EXPECT_EQ(offsets.GetCellBackgroundColour(row, 1), wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
        EXPECT_EQ(offsets.Text(row, 1), "");
    }
    Click(dialog, CStretchDialog::NewId);  // back with the new table's zeros
    EXPECT_TRUE(offsets.IsEnabled());
    EXPECT_EQ(offsets.Text(57, 1), "+0.0");
}

TEST(ListEditors, SelectingARowShowsItsOffsetsAndTheEditedOneIsHandedBack) {
    CTemperamentDialog dialog(nullptr, TwoTemperaments());
    const auto result = DialogTest::RunModal(dialog, [&] {
        ZelvoGridCtrl& offsets = *dialog.OffsetsGrid();
        EXPECT_EQ(dialog.ListGrid()->FocusedRow(), 1);  // opened on the list's selection
        EXPECT_EQ(offsets.Text(4, 0), "E");
        EXPECT_EQ(offsets.Text(4, 1), "-13.7");
        dialog.ListGrid()->FocusRow(0);
        EXPECT_EQ(offsets.Text(4, 1), "+0.0");
        TypeIntoCell(offsets, 9, 1, "-2.5");
        TypeIntoCell(*dialog.ListGrid(), 0, 0, "Renamed");
        Click(dialog, CTemperamentDialog::SaveId);
    });
    ASSERT_TRUE(result);
    TemperamentList expected = TwoTemperaments(0);
    expected.entries[0].name = "Renamed";
    expected.entries[0].SetOffset(9, -2.5f);
    EXPECT_EQ(*result, expected);  // the key is not the editor's business
}

TEST(ListEditors, CancelAsksAfterAnEditSaveWarnsOfWhatTheFilesCutAndNoKeepsTheDialogOpen) {
    enum End { Cancel, CloseBox, Escape, Save };
    const char* discard = "Are you sure you wish to cancel and discard changes?|Discard Changes|yes/no";
    const struct {
        const char* what;
        std::size_t entries;
        End end;
        int answer;
        const char* asked;  // the start of the one question, or nothing asked
        bool staysOpen;
    } cases[] = {
        {"Cancel, unchanged", 3, Cancel, wxNO, nullptr, false},
        {"Cancel, edited, No", 3, Cancel, wxNO, discard, true},
        {"Cancel, edited, Yes", 3, Cancel, wxYES, discard, false},
        {"close box, edited, No", 3, CloseBox, wxNO, discard, true},
        {"Escape twice, edited, No", 3, Escape, wxNO, discard, true},
        {"Save too many, No", MaxListEntries, Save, wxNO, "The list holds 1001 entries", true},
        {"Save too many, Yes", MaxListEntries, Save, wxYES, "The list holds 1001 entries", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PresetList list = ThreePresets();
        list.entries.resize(c.entries);
        CPresetDialogEx dialog(nullptr, list);
        std::vector<wxString> asked;
        dialog.SetMessagePresenter(Answering(asked, c.answer));
        bool stillOpen = false;
        const std::optional<PresetList> result = DialogTest::RunModal(dialog, [&] {
            if (c.end == Save || c.end == Escape) {
                Click(dialog, CPresetDialogEx::NewId);
            } else if (c.asked) {
                // An edit that puts back what was there still counts.
                TypeIntoCell(*dialog.ListGrid(), 0, 0, "Changed");
                TypeIntoCell(*dialog.ListGrid(), 0, 0, "A");
            }
            if (c.end == CloseBox) {
                dialog.Close();
            } else if (c.end == Escape) {
                ZelvoGridCtrl& grid = *dialog.ListGrid();
                grid.SetFocus();
                grid.FocusRow(0, 0);
                grid.EnableCellEditControl();
                PumpFor(50ms);
                wxUIActionSimulator keys;
                keys.Char(WXK_ESCAPE);  // the cell editor's: it closes, nothing is asked
                EXPECT_TRUE(PumpUntil([&] { return !grid.IsCellEditControlShown(); }, 2s));
                EXPECT_TRUE(asked.empty());
                keys.Char(WXK_ESCAPE);  // now the dialog's: like Cancel
                PumpUntil([&] { return !asked.empty(); }, 2s);
            } else {
                Click(dialog, c.end == Save ? int{CPresetDialogEx::SaveId} : int{wxID_CANCEL});
            }
            stillOpen = EndIfOpen(dialog);
        });
        ASSERT_EQ(asked.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_TRUE(asked[0].StartsWith(c.asked)) << asked[0];
        }
        EXPECT_EQ(stillOpen, c.staysOpen);
        EXPECT_EQ(result.has_value(), c.end == Save && !c.staysOpen);
        if (result) {
            EXPECT_EQ(result->entries.size(), MaxListEntries + 1);
        }
    }
}

TEST(ListEditors, ScaleFilesAreChosenReadAndWrittenWithFailuresShown) {
    TempDirectory dir;
    WriteWholeFile(dir / "bad.scl", "not a scale\n");
    CTemperamentDialog dialog(nullptr, TwoTemperaments(-1));
    ShowNonModal(dialog);
    std::vector<wxString> asked;
    dialog.SetMessagePresenter(Answering(asked, wxOK));
    std::vector<std::pair<bool, wxString>> chooserCalls;
    wxString chosen;
    dialog.SetFileChooser([&](bool save, const wxString& suggested) {
        chooserCalls.emplace_back(save, suggested);
        return chosen;
    });

    // Nothing selected: Export says so instead of asking for a file.
    EXPECT_FALSE(dialog.OffsetsGrid()->IsEnabled());
    Click(dialog, CTemperamentDialog::ExportId);
    EXPECT_TRUE(chooserCalls.empty());
    EXPECT_EQ(asked.size(), 1u);
    // A cancelled choice does nothing; a file the reader refuses shows why.
    Click(dialog, CTemperamentDialog::ImportId);
    EXPECT_EQ(asked.size(), 1u);
    chosen = wxString::FromUTF8((dir / "bad.scl").string());
    Click(dialog, CTemperamentDialog::ImportId);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(asked[1].StartsWith(wxString::FromUTF8(ParseScalaTemperament("not a scale\n").error) + "|"));
    EXPECT_EQ(dialog.Model().Count(), 2);

    // Export of the selected temperament, with its name suggested, over a file.
    dialog.ListGrid()->FocusRow(1);
    WriteWholeFile(dir / "out.scl", "old contents");
    chosen = wxString::FromUTF8((dir / "out.scl").string());
    Click(dialog, CTemperamentDialog::ExportId);
    ASSERT_EQ(chooserCalls.size(), 3u);
    EXPECT_EQ(chooserCalls[2], std::make_pair(true, wxString("Second.scl")));
    EXPECT_EQ(ReadWholeFile(dir / "out.scl"), FormatScalaTemperament(TwoTemperaments().entries[1]));
    EXPECT_EQ(asked.size(), 2u);

    // What was written imports as a new temperament after the selected one.
    Click(dialog, CTemperamentDialog::ImportId);
    const ScalaImportResult reread = ImportScalaFile(dir / "out.scl");
    ASSERT_TRUE(reread.temperament) << reread.error;
    ASSERT_EQ(dialog.Model().Count(), 3);
    EXPECT_EQ(dialog.Model().Selected(), 2);
    EXPECT_EQ(dialog.Model().Records()[2], *reread.temperament);
    EXPECT_EQ(dialog.ListGrid()->Text(2, 0), wxString::FromUTF8(reread.temperament->name));
}
