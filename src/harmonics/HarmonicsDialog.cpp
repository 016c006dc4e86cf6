#include "harmonics/HarmonicsDialog.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/display.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>

#include "harmonics/HarmonicsEvents.h"
#include "harmonics/WindowStacking.h"
#include "harmonics/logic/HarmonicsWindowGeometry.h"
#include "indicators/CompressedHarmonicsIndicator.h"

using namespace HarmonicsDialog;

namespace {

constexpr const char* Title = "Harmonics Graph";
constexpr int StatusPaneWidthDialogUnits = 50;

ZelvoLayout::WindowRect ToWindowRect(const wxRect& r) {
    return {r.x, r.y, r.x + r.width, r.y + r.height};
}

// The lists keep each item's value as the toolkit's untyped item data.
void* ItemData(int data) {
    return reinterpret_cast<void*>(static_cast<std::intptr_t>(data));  // NOLINT(performance-no-int-to-ptr)
}

}  // namespace

CHarmonicsDialog::CHarmonicsDialog(const HarmonicsDialogHost& host) : m_host(host) {
    long style = wxDEFAULT_FRAME_STYLE & ~wxMAXIMIZE_BOX;
    if (host.alwaysOnTop) style |= wxSTAY_ON_TOP;
    // The main window is the owner, so the window goes with it, but the
    // window is not kept above it: the two are stacked together (OnActivate).
    wxFrame::Create(host.mainWindow, wxID_ANY, Title, wxDefaultPosition, wxDefaultSize, style);
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));

    CreateStatusBar(StatusPaneCount);
    const int paneWidth = ConvertDialogToPixels(wxSize(StatusPaneWidthDialogUnits, 0)).x;
    const int widths[StatusPaneCount] = {-1, paneWidth, paneWidth, paneWidth, paneWidth};
    GetStatusBar()->SetStatusWidths(StatusPaneCount, widths);

    CreateControls();
    SetSizeHints(wxSize(MinimumWidth, MinimumHeight));

    Bind(wxEVT_CHOICE, &CHarmonicsDialog::OnListChanged, this, IdCurrentHarmonic);
    Bind(wxEVT_CHOICE, &CHarmonicsDialog::OnListChanged, this, IdReferenceHarmonic);
    Bind(wxEVT_CHOICE, &CHarmonicsDialog::OnListChanged, this, IdReferenceOption);
    Bind(wxEVT_BUTTON, &CHarmonicsDialog::OnStoreReference, this, IdStoreReference);
    Bind(wxEVT_CHECKBOX, &CHarmonicsDialog::OnAlwaysStore, this, IdAlwaysStore);
    Bind(EVT_COMPRESSED_STATUS, &CHarmonicsDialog::OnGraphStatus, this);
    Bind(EVT_COMPRESSED_SELECTION, &CHarmonicsDialog::OnGraphSelection, this);
    Bind(EVT_COMPRESSED_RANGE, &CHarmonicsDialog::OnGraphRange, this);
    Bind(wxEVT_SIZE, &CHarmonicsDialog::OnSize, this);
    Bind(wxEVT_MOVE, &CHarmonicsDialog::OnMove, this);
    Bind(wxEVT_ACTIVATE, &CHarmonicsDialog::OnActivate, this);
    Bind(wxEVT_CLOSE_WINDOW, &CHarmonicsDialog::OnClose, this);
    Bind(wxEVT_CHAR_HOOK, &CHarmonicsDialog::OnCharHook, this);

    PlaceOnDesktop();
    Show();
}

CHarmonicsDialog::~CHarmonicsDialog() {
    if (m_host.forget) std::exchange(m_host.forget, nullptr)();
    Post(EVT_HARMONICS_DIALOG_DESTROY);
}

void CHarmonicsDialog::CreateControls() {
    m_panel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
    m_panel->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    // The controls' column is as narrow as the classic dialog's (see
    // GraphPlacement); the toolkit's controls at its default font are wider
    // than that dialog's, so the column uses a size smaller.
    m_panel->SetFont(m_panel->GetFont().Smaller());
    m_harmonicItems = HarmonicItems();
    m_optionItems = ReferenceOptionItems(m_transpose);
    const int gap = FromDIP(4);

    wxSizer* current = CreateCurrentGroup(gap);
    wxSizer* reference = CreateReferenceGroup(gap);
    m_leftColumn = new wxBoxSizer(wxVERTICAL);
    m_leftColumn->Add(current, 0, wxEXPAND);
    m_leftColumn->Add(reference, 0, wxEXPAND | wxTOP, gap);
    // The column's width follows the graph's left edge (LayoutChildren); the
    // graph itself is placed by hand.
    auto* panelSizer = new wxBoxSizer(wxHORIZONTAL);
    panelSizer->Add(m_leftColumn, 0, wxALL, gap);
    m_panel->SetSizer(panelSizer);

    FillList(m_currentHarmonic, m_harmonicItems);
    FillList(m_referenceHarmonic, m_harmonicItems);
    FillList(m_referenceOption, m_optionItems);
    SelectData(m_currentHarmonic, NoHarmonicSelected);
    SelectData(m_referenceHarmonic, NoHarmonicSelected);
    SelectData(m_referenceOption, m_state.referenceOption);
    m_alwaysStore->SetValue(m_state.alwaysStore);
    m_store->SetDefault();

    // Created after the lists, so it comes after list 1078 in the tab order.
    m_graph = new CCompressedHarmonicsIndicator;
    m_graph->Create(m_panel, wxID_ANY);
    m_graph->SetFontFamily(m_host.fontFamily);
    m_graph->SetSpans(m_state.timeSpan, m_state.pitchSpan);
    UpdateCaptions();
}

wxSizer* CHarmonicsDialog::CreateCurrentGroup(int gap) {
    auto* current = new wxStaticBoxSizer(wxVERTICAL, m_panel);
    m_currentGroup = current->GetStaticBox();
    m_currentGroup->SetId(IdCurrentGroup);
    auto* currentRow = new wxBoxSizer(wxHORIZONTAL);
    currentRow->Add(new wxStaticText(m_currentGroup, wxID_ANY, "Harmonic"), 0, wxALIGN_CENTER_VERTICAL);
    m_currentHarmonic = new wxChoice(m_currentGroup, IdCurrentHarmonic);
    currentRow->Add(m_currentHarmonic, 1, wxLEFT, gap);
    current->Add(currentRow, 0, wxEXPAND | wxALL, gap);
    m_store = new wxButton(m_currentGroup, IdStoreReference, "Store As Reference");
    current->Add(m_store, 0, wxEXPAND | wxLEFT | wxRIGHT, gap);
    m_alwaysStore = new wxCheckBox(m_currentGroup, IdAlwaysStore, "Always Store");
    current->Add(m_alwaysStore, 0, wxALL, gap);
    return current;
}

wxSizer* CHarmonicsDialog::CreateReferenceGroup(int gap) {
    auto* reference = new wxStaticBoxSizer(wxVERTICAL, m_panel);
    m_referenceGroup = reference->GetStaticBox();
    m_referenceGroup->SetId(IdReferenceGroup);
    auto* referenceRow = new wxBoxSizer(wxHORIZONTAL);
    referenceRow->Add(new wxStaticText(m_referenceGroup, wxID_ANY, "Harmonic"), 0, wxALIGN_CENTER_VERTICAL);
    m_referenceHarmonic = new wxChoice(m_referenceGroup, IdReferenceHarmonic);
    referenceRow->Add(m_referenceHarmonic, 1, wxLEFT, gap);
    reference->Add(referenceRow, 0, wxEXPAND | wxALL, gap);
    m_referenceOption = new wxChoice(m_referenceGroup, IdReferenceOption);
    reference->Add(m_referenceOption, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, gap);
    return reference;
}

void CHarmonicsDialog::FillList(wxChoice* list, const std::vector<ListItem>& items) {
    list->Freeze();
    list->Clear();
    for (const ListItem& item : items) list->Append(wxString::FromUTF8(item.text), ItemData(item.data));
    list->Thaw();
}

void CHarmonicsDialog::SelectData(wxChoice* list, int data) {
    for (unsigned i = 0; i < list->GetCount(); ++i) {
        if (reinterpret_cast<std::intptr_t>(list->GetClientData(i)) == data) {
            if (list->GetSelection() != static_cast<int>(i)) list->SetSelection(static_cast<int>(i));
            return;
        }
    }
    // A value no item carries (a stored option from elsewhere) selects nothing.
    list->SetSelection(wxNOT_FOUND);
}

int CHarmonicsDialog::SelectedData(wxChoice* list) const {
    const int selected = list->GetSelection();
    if (selected == wxNOT_FOUND) return list == m_referenceOption ? ReferenceOptionNone : NoHarmonicSelected;
    return static_cast<int>(
        reinterpret_cast<std::intptr_t>(list->GetClientData(static_cast<unsigned>(selected))));
}

void CHarmonicsDialog::UpdateCaptions() {
    const wxString current = wxString::FromUTF8(CurrentNoteCaption(m_state.currentNote, m_transpose));
    const wxString reference = wxString::FromUTF8(ReferenceNoteCaption(m_state.referenceNote, m_transpose));
    if (m_currentGroup->GetLabel() != current) m_currentGroup->SetLabel(current);
    if (m_referenceGroup->GetLabel() != reference) m_referenceGroup->SetLabel(reference);
}

// ---------------------------------------------------------------------------
// State exchange with the main window

void CHarmonicsDialog::Notify(const HarmonicsState& state, int transpose, bool redraw) {
    if (transpose != m_transpose) {
        m_transpose = transpose;
        // The manual notes are named under the new transposition.
        m_optionItems = ReferenceOptionItems(m_transpose);
        FillList(m_referenceOption, m_optionItems);
    }
    SetState(state);
    if (redraw) m_graph->RedrawAll();
}

void CHarmonicsDialog::SetState(const HarmonicsState& state) {
    // A state the main window made before it took this window's last change
    // carries the old selections: the user's newer ones are kept, the main
    // window's answer to them follows.
    HarmonicsState next = state;
    if (m_unreportedChanges > 0) KeepUserSelections(next, m_state);
    ApplyState(next);
}

void CHarmonicsDialog::StateChangeTaken() {
    if (m_unreportedChanges > 0) --m_unreportedChanges;
}

void CHarmonicsDialog::ApplyState(const HarmonicsState& state) {
    const bool newHistories =
        state.currentHistory != m_state.currentHistory || state.referenceHistory != m_state.referenceHistory;
    m_state = state;
    SelectData(m_currentHarmonic, m_state.currentHarmonic);
    SelectData(m_referenceOption, m_state.referenceOption);
    SelectData(m_referenceHarmonic, m_state.referenceHarmonic);
    if (m_alwaysStore->GetValue() != m_state.alwaysStore) m_alwaysStore->SetValue(m_state.alwaysStore);
    UpdateCaptions();
    if (newHistories) m_graph->SetHistories(m_state.currentHistory, m_state.referenceHistory);
    m_graph->SetSelection(m_state.currentHarmonic, m_state.referenceHarmonic);
    m_graph->SetSpans(m_state.timeSpan, m_state.pitchSpan);
    m_graph->SetTranspose(m_transpose);
    // The pitch axis names the notes again; new histories are drawn anew.
    m_graph->RedrawAll();
}

void CHarmonicsDialog::FramesAdded() {
    ++m_frameTicks;
    m_graph->Follow();
}

void CHarmonicsDialog::SetNoteTable(const NoteTable& table) {
    m_graph->SetNoteTable(table);
    m_graph->RedrawAll();
}

void CHarmonicsDialog::SetAlwaysOnTop(bool onTop) {
    m_host.alwaysOnTop = onTop;
    const long style = GetWindowStyleFlag();
    const long wanted = onTop ? style | wxSTAY_ON_TOP : style & ~wxSTAY_ON_TOP;
    if (wanted != style) SetWindowStyleFlag(wanted);
}

void CHarmonicsDialog::DetachFromMainWindow() {
    m_host.mainWindow = nullptr;
    m_host.storeRect = nullptr;
    m_host.forget = nullptr;
}

void CHarmonicsDialog::Post(const wxEventType& type) {
    if (type == EVT_HARMONICS_STATE_CHANGE && m_host.mainWindow) ++m_unreportedChanges;
    if (m_host.mainWindow) wxQueueEvent(m_host.mainWindow, new wxCommandEvent(type));
}

// ---------------------------------------------------------------------------
// Controls and graph notifications

void CHarmonicsDialog::OnListChanged(wxCommandEvent&) {
    ListSelections selections;
    selections.currentHarmonic = SelectedData(m_currentHarmonic);
    selections.referenceHarmonic = SelectedData(m_referenceHarmonic);
    selections.referenceOption = SelectedData(m_referenceOption);
    if (TakeListSelections(m_state, selections)) Post(EVT_HARMONICS_STATE_CHANGE);
    m_graph->SetSelection(m_state.currentHarmonic, m_state.referenceHarmonic);
    m_graph->RefreshChanged();
}

void CHarmonicsDialog::OnStoreReference(wxCommandEvent&) {
    Post(EVT_HARMONICS_STORE_REFERENCE);
}

void CHarmonicsDialog::OnAlwaysStore(wxCommandEvent&) {
    m_state.alwaysStore = m_alwaysStore->GetValue();
    Post(EVT_HARMONICS_STATE_CHANGE);
}

void CHarmonicsDialog::OnGraphStatus(wxCommandEvent&) {
    wxStatusBar* bar = GetStatusBar();
    for (int pane : m_panes.Update(m_graph->GetStatus()))
        bar->SetStatusText(wxString::FromUTF8(m_panes.Text(pane)), pane);
}

void CHarmonicsDialog::OnGraphSelection(wxCommandEvent&) {
    HarmonicsState next = m_state;
    next.currentHarmonic = m_graph->SelectedCurrent();
    next.referenceHarmonic = m_graph->SelectedReference();
    ApplyState(next);
    Post(EVT_HARMONICS_STATE_CHANGE);
}

void CHarmonicsDialog::OnGraphRange(wxCommandEvent&) {
    m_state.timeSpan = m_graph->TimeSpan();
    m_state.pitchSpan = m_graph->PitchSpan();
    Post(EVT_HARMONICS_STATE_CHANGE);
}

// ---------------------------------------------------------------------------
// Placement, layout and stacking

void CHarmonicsDialog::PlaceOnDesktop() {
    std::vector<ZelvoLayout::WindowRect> workAreas;
    int primary = 0;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
        const wxDisplay display(i);
        workAreas.push_back(ToWindowRect(display.GetClientArea()));
        if (display.IsPrimary()) primary = static_cast<int>(i);
    }
    const wxSize initial = ConvertDialogToPixels(wxSize(InitialWidthDialogUnits, InitialHeightDialogUnits));
    const ZelvoLayout::WindowRect r =
        PlaceWindow(m_host.savedRect, {initial.x, initial.y}, workAreas, primary);
    m_placing = true;
    SetSize(r.left, r.top, r.Width(), r.Height());
    m_placing = false;
    m_placedRect = r;
    m_placementWatchEnd = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    m_placed = true;
    LayoutChildren();
    StoreRect();
}

void CHarmonicsDialog::LayoutChildren() {
    if (!m_panel || !m_graph) return;
    const wxSize client = GetClientSize();
    const int statusHeight = GetStatusBar() ? GetStatusBar()->GetSize().y : 0;
    // The graph's rule counts the status bar inside the client area.
    // The DPI scale in this window's own units: where the toolkit already
    // scales window coordinates (GTK at a desktop scale of 2) they stay as
    // they are; where it does not (96-DPI based pixels) they grow with it.
    const double scale = GetDPIScaleFactor() / GetContentScaleFactor();
    const GraphRect g = GraphPlacement(client.x, client.y + statusHeight, scale);
    const int gap = FromDIP(4);
    m_leftColumn->SetMinSize(wxSize(std::max(0, g.x - 2 * gap), -1));
    m_panel->SetSize(0, 0, client.x, client.y);
    m_panel->Layout();
    m_graph->SetSize(g.x, g.y, g.width, g.height);
}

void CHarmonicsDialog::StoreRect() {
    if (!m_placed || IsIconized() || !m_host.storeRect) return;
    m_host.storeRect(ToWindowRect(GetRect()));
}

void CHarmonicsDialog::OnSize(wxSizeEvent& event) {
    LayoutChildren();
    if (!UndoForeignPlacement()) StoreRect();
    event.Skip();
}

bool CHarmonicsDialog::UndoForeignPlacement() {
    if (!IsShown() || std::chrono::steady_clock::now() >= m_placementWatchEnd) return false;
    const wxRect placed(m_placedRect.left, m_placedRect.top, m_placedRect.Width(), m_placedRect.Height());
    if (GetRect() == placed) return false;
    // Placed or sized otherwise than asked as it was shown: back to the
    // rectangle asked for, once; that one, not this, is the one to keep.
    m_placementWatchEnd = {};
    CallAfter([this, placed] {
        m_placing = true;
        SetSize(placed);
        m_placing = false;
    });
    return true;
}

void CHarmonicsDialog::DoSetSize(int x, int y, int width, int height, int sizeFlags) {
    // Moved or sized by another part of the program: that place stands.
    if (!m_placing) m_placementWatchEnd = {};
    wxFrame::DoSetSize(x, y, width, height, sizeFlags);
}

void CHarmonicsDialog::OnMove(wxMoveEvent& event) {
    event.Skip();
    if (!UndoForeignPlacement()) StoreRect();
}

void CHarmonicsDialog::OnActivate(wxActivateEvent& event) {
    if (event.GetActive()) BringPairToFront(this, m_host.mainWindow);
    event.Skip();
}

void CHarmonicsDialog::OnCharHook(wxKeyEvent& event) {
    // Ctrl+Tab hands the keyboard to the main window.
    if (event.GetKeyCode() == WXK_TAB && event.GetModifiers() == wxMOD_CONTROL && m_host.mainWindow) {
        m_host.mainWindow->Show();
        m_host.mainWindow->Raise();
        m_host.mainWindow->SetFocus();
        return;
    }
    event.Skip();
}

void CHarmonicsDialog::OnClose(wxCloseEvent&) {
    Hide();
    // The main window forgets this window now rather than when it is
    // finally deleted at idle time.
    if (m_host.forget) std::exchange(m_host.forget, nullptr)();
    Destroy();
}
