#pragma once
// The "Harmonics Graph" window: a modeless top-level window beside the main
// window that hosts the compressed harmonics graph, lets the user pick the
// harmonic to highlight of the current and of the reference note and how the
// reference note is found, store the current note as the reference, and shows
// what lies under the mouse in its status bar.
//
// The main window owns the settings, the histories and the choice of the
// reference note; this window edits a copy of the state record and queues the
// main window an event for every change (HarmonicsEvents.h). Its rules that
// need no window system live in harmonics/logic.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <wx/frame.h>

#include "app/logic/WindowLayout.h"
#include "harmonics/logic/HarmonicsDialogModel.h"
#include "pipeline/HarmonicsState.h"
#include "tuning/NoteTable.h"

class wxButton;
class wxCheckBox;
class wxChoice;
class wxPanel;
class wxSizer;
class wxStaticBox;
class wxStaticBoxSizer;
class CCompressedHarmonicsIndicator;

// What the window needs of the main window.
struct HarmonicsDialogHost {
    wxTopLevelWindow* mainWindow = nullptr;  // receives the queued events; stacked with this window
    ZelvoLayout::WindowRect savedRect;       // the saved rectangle (empty: never saved)
    bool alwaysOnTop = false;
    std::string fontFamily = "Tuner";  // family of the graph's note names
    // Every move and resize: the new window rectangle, to be saved.
    std::function<void(const ZelvoLayout::WindowRect&)> storeRect;
    // Called from the destructor: the main window forgets this window at once,
    // before the queued destroy event arrives, so nothing calls into it.
    std::function<void()> forget;
};

class CHarmonicsDialog : public wxFrame, public IHarmonicsView {
public:
    // Creates and shows the window, placed by the saved rectangle.
    explicit CHarmonicsDialog(const HarmonicsDialogHost& host);
    ~CHarmonicsDialog() override;

    // IHarmonicsView (called by the pipeline).
    void Notify(const HarmonicsState& state, int transpose, bool redraw) override;
    void SetState(const HarmonicsState& state) override;
    void FramesAdded() override;
    // The main window has read the state after a state-change event.
    void StateChangeTaken();

    // The targets the graph's pitch axis names.
    void SetNoteTable(const NoteTable& table);
    // Keeps both windows above all others, or not.
    void SetAlwaysOnTop(bool onTop);
    // The main window is going: no more events or calls to it.
    void DetachFromMainWindow();

    const HarmonicsState& State() const { return m_state; }
    // Display ticks whose new results the graph was told of.
    int FrameTicks() const { return m_frameTicks; }
    int Transpose() const { return m_transpose; }
    CCompressedHarmonicsIndicator* Graph() const { return m_graph; }
    wxChoice* CurrentHarmonicList() const { return m_currentHarmonic; }
    wxChoice* ReferenceHarmonicList() const { return m_referenceHarmonic; }
    wxChoice* ReferenceOptionList() const { return m_referenceOption; }
    wxCheckBox* AlwaysStoreBox() const { return m_alwaysStore; }
    wxButton* StoreButton() const { return m_store; }
    wxStaticBox* CurrentGroup() const { return m_currentGroup; }
    wxStaticBox* ReferenceGroup() const { return m_referenceGroup; }

private:
    void CreateControls();
    // The two group boxes with their controls; `gap` is the spacing.
    wxSizer* CreateCurrentGroup(int gap);
    wxSizer* CreateReferenceGroup(int gap);
    void FillList(wxChoice* list, const std::vector<HarmonicsDialog::ListItem>& items);
    void SelectData(wxChoice* list, int data);
    int SelectedData(wxChoice* list) const;
    void UpdateCaptions();
    // Shows a state as it is (SetState keeps selections not yet reported).
    void ApplyState(const HarmonicsState& state);
    void PlaceOnDesktop();
    void LayoutChildren();
    void StoreRect();
    // Within a short time of opening: true when the window manager put the
    // window elsewhere or sized it otherwise (it is then put back, once).
    bool UndoForeignPlacement();
    void Post(const wxEventType& type);

    void OnListChanged(wxCommandEvent& event);
    void OnStoreReference(wxCommandEvent& event);
    void OnAlwaysStore(wxCommandEvent& event);
    void OnGraphStatus(wxCommandEvent& event);
    void OnGraphSelection(wxCommandEvent& event);
    void OnGraphRange(wxCommandEvent& event);
    void DoSetSize(int x, int y, int width, int height, int sizeFlags) override;
    void OnSize(wxSizeEvent& event);
    void OnMove(wxMoveEvent& event);
    void OnActivate(wxActivateEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnCharHook(wxKeyEvent& event);

    HarmonicsDialogHost m_host;
    HarmonicsState m_state;
    int m_transpose = 0;
    std::vector<HarmonicsDialog::ListItem> m_harmonicItems;
    std::vector<HarmonicsDialog::ListItem> m_optionItems;
    HarmonicsDialog::StatusPanes m_panes;
    // State-change events queued to the main window and not yet read by it.
    int m_unreportedChanges = 0;
    int m_frameTicks = 0;
    bool m_placed = false;  // moves and sizes before the placement are not stored
    // Where the window was placed, and until when a window manager's own
    // placement (wxGTK realises a window at (0, 0) before it is shown, and a
    // window manager may keep that place) is undone, once.
    ZelvoLayout::WindowRect m_placedRect;
    std::chrono::steady_clock::time_point m_placementWatchEnd;
    bool m_placing = false;  // the window places itself (not someone else)

    wxPanel* m_panel = nullptr;
    wxStaticBox* m_currentGroup = nullptr;
    wxStaticBox* m_referenceGroup = nullptr;
    wxChoice* m_currentHarmonic = nullptr;
    wxChoice* m_referenceHarmonic = nullptr;
    wxChoice* m_referenceOption = nullptr;
    wxButton* m_store = nullptr;
    wxCheckBox* m_alwaysStore = nullptr;
    wxSizer* m_leftColumn = nullptr;
    CCompressedHarmonicsIndicator* m_graph = nullptr;
};
