// The main window's menu bar, accelerators, command handlers and their
// update handlers (check and radio marks).

#include <wx/accel.h>
#include <wx/menu.h>
#include <wx/utils.h>

#include <cstdlib>
#include <optional>

#include "app/TunerWnd.h"
#include "app/logic/CommandIds.h"
#include "app/logic/MainMenuModel.h"
#include "app/logic/MainWindowRules.h"
#include "dialogs/ListEditors.h"
#include "harmonics/HarmonicsDialog.h"
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
    // into a shortcut; the ones whose command is not offered yet are taken
    // away here.
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
    // Ctrl+Tab hands the keyboard to the harmonics window.
    if (key == WXK_TAB && modifiers == wxMOD_CONTROL) {
        if (m_harmonics) {
            m_harmonics->Raise();
            m_harmonics->SetFocus();
        }
        return;
    }
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
    Bind(wxEVT_MENU, &CTunerWnd::OnPrecisePitch, this, PrecisePitch);
    Bind(wxEVT_MENU, &CTunerWnd::OnChoosePreset, this, NotePresetFirstCommandId, NotePresetLastCommandId);
    BindHelpCommands();
    Bind(wxEVT_MENU, &CTunerWnd::OnTuningSettings, this, TuningSettings);
    Bind(wxEVT_MENU, &CTunerWnd::OnRecordingDevice, this, RecordingDevice);
    Bind(wxEVT_MENU, &CTunerWnd::OnEditNotePresets, this, CommandId::EditNotePresets);
    Bind(wxEVT_MENU, &CTunerWnd::OnHarmonicsGraph, this, HarmonicsGraph);
    BindMenuMarks();
}

void CTunerWnd::BindCheckMark(int id, std::function<bool()> checked) {
    Bind(
        wxEVT_UPDATE_UI,
        [checked = std::move(checked)](wxUpdateUIEvent& e) {
            e.Enable(true);
            e.Check(checked());
        },
        id);
}

void CTunerWnd::BindRadioMark(int id, std::function<bool()> checked) {
    Bind(
        wxEVT_UPDATE_UI, [checked = std::move(checked)](wxUpdateUIEvent& e) { e.Check(checked()); }, id);
}

void CTunerWnd::BindMenuMarks() {
    using namespace CommandId;
    const ConfigRecord& config = m_settings.config;  // the record itself is replaced in place
    BindCheckMark(AlwaysOnTop, [&config] { return config.AlwaysOnTop; });
    BindCheckMark(PixelSmoothing, [&config] { return config.Smooth; });
    BindCheckMark(PrecisePitch, [&config] { return config.PrecisePitch; });
    for (int id = DisplayRateSlow; id <= DisplayRateFast; ++id)
        BindCheckMark(id, [&config, id] { return id - DisplayRateSlow == config.Rate; });
    BindRadioMark(AnalysisQualityFast, [&config] { return config.AnalysisQuality == 1; });
    BindRadioMark(AnalysisQualityNormal, [&config] { return config.AnalysisQuality == 0; });
    BindRadioMark(CentsRoundWhole, [&config] { return config.CentAccuracy == 1; });
    BindRadioMark(CentsRoundTenth, [&config] { return config.CentAccuracy == 0; });
    Bind(
        wxEVT_UPDATE_UI,
        [this](wxUpdateUIEvent& e) {
            const auto state = m_presetMenu.Update(e.GetId(), m_settings.presets);
            if (!m_presetMenu.IndexForCommand(e.GetId())) return;
            e.Enable(state.enabled);
            e.Check(state.checked);
        },
        NotePresetFirstCommandId, NotePresetLastCommandId);
    BindCheckMark(HarmonicsGraph, [this] { return m_harmonics != nullptr; });
}

void CTunerWnd::OnExit(wxCommandEvent&) {
    // Like the close box: the close handler saves and the window goes.
    CallAfter([this] { Close(); });
}

void CTunerWnd::OnRecordingControl(wxCommandEvent&) {
    const CommandLauncher launch =
        m_options.launchCommand ? m_options.launchCommand : CommandLauncher(LaunchWhenOnPath);
    for (const std::string& command : MainWindowRules::RecordingControlCommands(m_settings.config.Device)) {
        if (launch(command)) return;
    }
    ShowMessage(wxString::FromUTF8(MainWindowRules::RecordingControlFailedMessage()),
                MainWindowRules::BaseTitle, wxOK);
}

// Each command below changes a copy of the settings and hands it to
// ApplySettings, which does the rest (and nothing when the value stays).

void CTunerWnd::OnPixelSmoothing(wxCommandEvent&) {
    ChangeSettings([](SettingsFiles& s) { s.config.Smooth = !s.config.Smooth; });
}

void CTunerWnd::OnDisplayRate(wxCommandEvent& event) {
    // Takes effect when the display timer is armed next.
    const int rate = event.GetId() - CommandId::DisplayRateSlow;
    ChangeSettings([rate](SettingsFiles& s) { s.config.Rate = rate; });
}

void CTunerWnd::OnAnalysisQuality(wxCommandEvent& event) {
    const int quality = event.GetId() == CommandId::AnalysisQualityFast ? 1 : 0;
    ChangeSettings([quality](SettingsFiles& s) { s.config.AnalysisQuality = quality; });
}

void CTunerWnd::OnPrecisePitch(wxCommandEvent&) {
    // The analyzer takes the mode when it is built: recording restarts with it.
    ChangeSettings([](SettingsFiles& s) { s.config.PrecisePitch = !s.config.PrecisePitch; });
}

void CTunerWnd::OnCentAccuracy(wxCommandEvent& event) {
    const int accuracy = event.GetId() == CommandId::CentsRoundWhole ? 1 : 0;
    ChangeSettings([accuracy](SettingsFiles& s) { s.config.CentAccuracy = accuracy; });
}

void CTunerWnd::OnAlwaysOnTop(wxCommandEvent&) {
    ChangeSettings([](SettingsFiles& s) { s.config.AlwaysOnTop = !s.config.AlwaysOnTop; });
}

void CTunerWnd::OnChoosePreset(wxCommandEvent& event) {
    const int id = event.GetId();
    ChangeSettings([this, id](SettingsFiles& s) { m_presetMenu.Choose(id, s.presets); });
}

void CTunerWnd::OnEditNotePresets(wxCommandEvent&) {
    // The editor works on a copy; after Save the whole list (the selection
    // as it was) comes back and ApplySettings hands the active preset to the
    // ladder and rebuilds the submenu.
    std::optional<PresetList> edited = ::EditNotePresets(this, m_settings.presets);
    if (!edited) return;
    ChangeSettings([&edited](SettingsFiles& s) { s.presets = std::move(*edited); });
}
