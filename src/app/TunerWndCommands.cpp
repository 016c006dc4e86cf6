// The main window's menu bar, accelerators, command handlers and their
// update handlers (check and radio marks).

#include <wx/accel.h>
#include <wx/menu.h>
#include <wx/utils.h>

#include <cstdlib>

#include "app/TunerWnd.h"
#include "app/logic/CommandIds.h"
#include "app/logic/MainMenuModel.h"
#include "app/logic/MainWindowRules.h"
#include "indicators/FineIndicator.h"

namespace {

wxMenu* BuildMenu(const std::vector<MainMenu::MenuEntry>& entries) {
    auto* menu = new wxMenu;
    for (const MainMenu::MenuEntry& entry : entries) {
        const wxString text = wxString::FromUTF8(entry.text);
        const wxString help = wxString::FromUTF8(entry.help);
        wxMenuItem* item = nullptr;
        switch (entry.kind) {
            case MainMenu::EntryKind::Separator: menu->AppendSeparator(); continue;
            case MainMenu::EntryKind::Submenu: menu->AppendSubMenu(BuildMenu(entry.children), text); continue;
            case MainMenu::EntryKind::Command: item = menu->Append(entry.id, text, help); break;
            case MainMenu::EntryKind::Check: item = menu->AppendCheckItem(entry.id, text, help); break;
            case MainMenu::EntryKind::Radio: item = menu->AppendRadioItem(entry.id, text, help); break;
        }
        if (item && !entry.available) item->Enable(false);
    }
    return menu;
}

// Menu texts treat '&' as the mnemonic marker and a tab as the start of the
// shortcut: a preset name shows both literally.
wxString MenuLabelFor(const std::string& name) {
    wxString label = wxString::FromUTF8(name);
    label.Replace("&", "&&");
    label.Replace("\t", " ");
    return label;
}

bool LaunchWhenOnPath(const std::string& commandLine) {
    const char* path = std::getenv("PATH");
    const std::string program = MainWindowRules::ProgramOfCommandLine(commandLine);
    if (MainWindowRules::FindProgramOnPath(program, path ? path : "").empty()) return false;
    return wxExecute(wxString::FromUTF8(commandLine), wxEXEC_ASYNC) > 0;
}

}  // namespace

void CTunerWnd::CreateMenus() {
    std::vector<wxAcceleratorEntry> accelerators;
    for (const MainMenu::AcceleratorEntry& a : MainMenu::BuildAcceleratorTable())
        accelerators.emplace_back(a.ctrl ? wxACCEL_CTRL : wxACCEL_NORMAL, a.key, a.command);
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(accelerators.size()), accelerators.data()));

    auto* bar = new wxMenuBar;
    for (const MainMenu::TopMenu& top : MainMenu::BuildMenuModel())
        bar->Append(BuildMenu(top.entries), wxString::FromUTF8(top.title));
    SetMenuBar(bar);
    RebuildPresetMenu();

    // The toolkit turns every combination shown after a tab in a menu text
    // into a shortcut; the ones that are only shown are taken away here.
    for (const std::string& text : MainMenu::DisplayOnlyShortcuts()) {
        wxAcceleratorEntry entry;
        if (entry.FromString(wxString::FromUTF8(text)))
            m_displayOnlyKeys.push_back({entry.GetFlags(), entry.GetKeyCode()});
    }
    Bind(wxEVT_CHAR_HOOK, &CTunerWnd::OnCharHook, this);
}

void CTunerWnd::OnCharHook(wxKeyEvent& event) {
    const int modifiers = event.GetModifiers();
    const int flags = (modifiers & wxMOD_CONTROL ? wxACCEL_CTRL : 0) |
                      (modifiers & wxMOD_ALT ? wxACCEL_ALT : 0) |
                      (modifiers & wxMOD_SHIFT ? wxACCEL_SHIFT : 0);
    int key = event.GetKeyCode();
    if (key >= 'a' && key <= 'z') key += 'A' - 'a';  // letters are compared by their upper-case code
    for (const auto& [shownFlags, shownKey] : m_displayOnlyKeys) {
        if (flags == shownFlags && key == shownKey) return;  // consumed: no command
    }
    event.Skip();
}

void CTunerWnd::RebuildPresetMenu() {
    wxMenuBar* bar = GetMenuBar();
    if (!bar) return;
    wxMenu* noteMenu = bar->GetMenu(MainMenu::NoteMenuIndex);
    m_presetMenu.Rebuild(m_settings.presets);

    const auto position = static_cast<size_t>(NotePresetMenuPosition);
    if (noteMenu->GetMenuItemCount() > position) {
        wxMenuItem* old = noteMenu->FindItemByPosition(position);
        if (old && old->GetItemLabelText() == NotePresetMenuTitle) noteMenu->Destroy(old);
    }
    auto* popup = new wxMenu;
    for (const NotePresetMenuItem& item : m_presetMenu.Items()) {
        if (item.id == 0) {
            wxMenuItem* empty = popup->Append(wxID_ANY, MenuLabelFor(item.text));
            empty->Enable(false);
        } else {
            popup->AppendCheckItem(item.id, MenuLabelFor(item.text));
        }
    }
    noteMenu->Insert(position, wxID_ANY, NotePresetMenuTitle, popup);
}

void CTunerWnd::BindCommands() {
    using namespace CommandId;
    Bind(wxEVT_MENU, &CTunerWnd::OnExit, this, Exit);
    Bind(wxEVT_MENU, &CTunerWnd::OnRecordingControl, this, RecordingControl);
    Bind(wxEVT_MENU, &CTunerWnd::OnPixelSmoothing, this, PixelSmoothing);
    Bind(wxEVT_MENU, &CTunerWnd::OnDisplayRate, this, DisplayRateSlow, DisplayRateFast);
    Bind(wxEVT_MENU, &CTunerWnd::OnAnalysisQuality, this, AnalysisQualityNormal, AnalysisQualityFast);
    Bind(wxEVT_MENU, &CTunerWnd::OnCentAccuracy, this, CentsRoundWhole, CentsRoundTenth);
    Bind(wxEVT_MENU, &CTunerWnd::OnAlwaysOnTop, this, AlwaysOnTop);
    Bind(wxEVT_MENU, &CTunerWnd::OnChoosePreset, this, NotePresetFirstCommandId, NotePresetLastCommandId);

    // Update handlers: check marks for the switches, radio marks (without
    // touching the enabled state) for quality and cents label.
    Bind(
        wxEVT_UPDATE_UI,
        [this](wxUpdateUIEvent& e) {
            e.Enable(true);
            e.Check(m_settings.config.AlwaysOnTop);
        },
        AlwaysOnTop);
    Bind(
        wxEVT_UPDATE_UI,
        [this](wxUpdateUIEvent& e) {
            e.Enable(true);
            e.Check(m_settings.config.Smooth);
        },
        PixelSmoothing);
    Bind(
        wxEVT_UPDATE_UI,
        [this](wxUpdateUIEvent& e) {
            e.Enable(true);
            e.Check(e.GetId() - DisplayRateSlow == m_settings.config.Rate);
        },
        DisplayRateSlow, DisplayRateFast);
    Bind(
        wxEVT_UPDATE_UI,
        [this](wxUpdateUIEvent& e) {
            const auto state = m_presetMenu.Update(e.GetId(), m_settings.presets);
            if (!m_presetMenu.IndexForCommand(e.GetId())) return;
            e.Enable(state.enabled);
            e.Check(state.checked);
        },
        NotePresetFirstCommandId, NotePresetLastCommandId);
    Bind(
        wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) { e.Check(m_settings.config.AnalysisQuality == 1); },
        AnalysisQualityFast);
    Bind(
        wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) { e.Check(m_settings.config.AnalysisQuality == 0); },
        AnalysisQualityNormal);
    Bind(
        wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) { e.Check(m_settings.config.CentAccuracy == 1); },
        CentsRoundWhole);
    Bind(
        wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) { e.Check(m_settings.config.CentAccuracy == 0); },
        CentsRoundTenth);
    // The harmonics graph is not available yet: the item stays disabled and
    // unchecked.
    Bind(
        wxEVT_UPDATE_UI,
        [](wxUpdateUIEvent& e) {
            e.Enable(false);
            e.Check(false);
        },
        HarmonicsGraph);
}

void CTunerWnd::OnExit(wxCommandEvent&) {
    // Like the close box: the close handler saves and the window goes.
    CallAfter([this] { Close(); });
}

void CTunerWnd::OnRecordingControl(wxCommandEvent&) {
#ifdef __WXMSW__
    constexpr auto platform = MainWindowRules::Platform::Windows;
#else
    constexpr auto platform = MainWindowRules::Platform::Linux;
#endif
    const CommandLauncher launch =
        m_options.launchCommand ? m_options.launchCommand : CommandLauncher(LaunchWhenOnPath);
    for (const std::string& command :
         MainWindowRules::RecordingControlCommands(m_settings.config.Device, platform)) {
        if (launch(command)) return;
    }
    ShowMessage(MainWindowRules::RecordingControlFailedMessage, MainWindowRules::BaseTitle, wxOK);
}

void CTunerWnd::OnPixelSmoothing(wxCommandEvent&) {
    m_settings.config.Smooth = !m_settings.config.Smooth;
    if (m_fine->smoothing != m_settings.config.Smooth) {
        m_fine->smoothing = m_settings.config.Smooth;
        m_fine->Refresh();
    }
}

void CTunerWnd::OnDisplayRate(wxCommandEvent& event) {
    // Takes effect when the display timer is armed next.
    m_settings.config.Rate = event.GetId() - CommandId::DisplayRateSlow;
}

void CTunerWnd::OnAnalysisQuality(wxCommandEvent& event) {
    const int quality = event.GetId() == CommandId::AnalysisQualityFast ? 1 : 0;
    if (m_settings.config.AnalysisQuality == quality) return;
    m_settings.config.AnalysisQuality = quality;
    RestartRecording();
}

void CTunerWnd::OnCentAccuracy(wxCommandEvent& event) {
    m_settings.config.CentAccuracy = event.GetId() == CommandId::CentsRoundWhole ? 1 : 0;
}

void CTunerWnd::OnAlwaysOnTop(wxCommandEvent&) {
    m_settings.config.AlwaysOnTop = !m_settings.config.AlwaysOnTop;
    long style = GetWindowStyleFlag();
    if (m_settings.config.AlwaysOnTop)
        style |= wxSTAY_ON_TOP;
    else
        style &= ~wxSTAY_ON_TOP;
    SetWindowStyleFlag(style);
    Show();
    Raise();
}

void CTunerWnd::OnChoosePreset(wxCommandEvent& event) {
    if (!m_presetMenu.Choose(event.GetId(), m_settings.presets)) return;
    ApplyActivePreset();
    UpdateIndicators();
}

void CTunerWnd::OnHarmonicsDestroyed(wxCommandEvent&) {
    m_settings.config.HarmonicsVisible = false;
}

void CTunerWnd::OnHarmonicsStoreReference(wxCommandEvent&) {
    m_pipeline->RequestStoreReference();
}

void CTunerWnd::OnHarmonicsRequestDestroy(wxCommandEvent&) {
    // The user closed the harmonics window: the main window takes the
    // keyboard back. (The harmonics window itself is not part of this
    // program yet, so there is nothing further to destroy.)
    Raise();
    SetFocus();
}
