#include "app/logic/MainMenuModel.h"

#include "app/logic/CommandIds.h"

namespace MainMenu {

namespace {

MenuEntry Item(int id, std::string text, std::string help = {}, bool available = true) {
    MenuEntry entry;
    entry.kind = EntryKind::Command;
    entry.id = id;
    entry.text = std::move(text);
    entry.help = std::move(help);
    entry.available = available;
    return entry;
}

MenuEntry WithKind(MenuEntry entry, EntryKind kind) {
    entry.kind = kind;
    return entry;
}

MenuEntry Separator() {
    MenuEntry entry;
    entry.kind = EntryKind::Separator;
    return entry;
}

MenuEntry Submenu(std::string text, std::vector<MenuEntry> children) {
    MenuEntry entry;
    entry.kind = EntryKind::Submenu;
    entry.text = std::move(text);
    entry.children = std::move(children);
    return entry;
}

// Items whose dialogs or windows are not part of this program yet: they are
// shown, with their ids and shortcuts, but disabled.
constexpr bool NotYet = false;

}  // namespace

std::vector<TopMenu> BuildMenuModel(MainWindowRules::Platform platform) {
    using namespace CommandId;
    std::vector<TopMenu> menus;

    menus.push_back({"&Tuner", {Item(Exit, "E&xit\tAlt+F4", "Exit the tuner application")}});

    menus.push_back({"&Note",
                     {Item(TuningSettings, "&Tuning Settings...\tCtrl+T"), Separator(),
                      Item(EditNotePresets, "Edit &Note Presets...\tCtrl+N")}});

    menus.push_back(
        {"&Recording",
         {Submenu("Analysis Quality",
                  {WithKind(Item(AnalysisQualityNormal, "Normal", "Analyzes tone with nominal settings"),
                            EntryKind::Radio),
                   WithKind(Item(AnalysisQualityFast, "Fast (less accurate)",
                                 "Analyzes tone with less latency, but with worse accuracy"),
                            EntryKind::Radio)}),
          WithKind(Item(PrecisePitch, "&Precise Pitch",
                        "Reads stiff strings, decaying notes and note endings precisely and keeps a "
                        "decaying note in its octave"),
                   EntryKind::Check),
          Separator(),
          Item(RecordingDevice, "Recording &Device and Calibration...\tCtrl+D",
               "Select the recording device to use"),
          Item(RecordingControl, MainWindowRules::RecordingControlItemText(platform),
               MainWindowRules::RecordingControlHelp(platform))}});

    menus.push_back(
        {"&View",
         {WithKind(Item(PixelSmoothing, "Pixel &Smoothing\tCtrl+S", "Toggle smooth graphics on/off"),
                   EntryKind::Check),
          Submenu("&Display Rate", {WithKind(Item(DisplayRateSlow, "&Slow"), EntryKind::Check),
                                    WithKind(Item(DisplayRateMedium, "&Medium"), EntryKind::Check),
                                    WithKind(Item(DisplayRateFast, "&Fast"), EntryKind::Check)}),
          Submenu("Cents Label",
                  {WithKind(Item(CentsRoundTenth, "Round to 1/10th of a cent"), EntryKind::Radio),
                   WithKind(Item(CentsRoundWhole, "Round to 1 cent"), EntryKind::Radio)}),
          // The always-on-top switch has no item of its own in the classic
          // menu; here it is offered where the other view options are.
          WithKind(Item(AlwaysOnTop, "Always on &Top", "Keep the tuner above other windows"),
                   EntryKind::Check),
          Separator(), WithKind(Item(HarmonicsGraph, "&Harmonics Graph\tCtrl+H"), EntryKind::Check)}});

    menus.push_back({"&Help",
                     {Item(HelpContents, "&Contents\tF1"), Separator(),
                      Item(About, "&About...", "Learn more about Zelvo Tuner")}});
    return menus;
}

std::vector<AcceleratorEntry> BuildAcceleratorTable() {
    using namespace CommandId;
    return {{true, 'T', TuningSettings},  {true, 'N', EditNotePresets}, {true, 'R', RecordingControl},
            {true, 'D', RecordingDevice}, {true, 'H', HarmonicsGraph},  {true, 'S', PixelSmoothing}};
}

std::vector<std::string> DisplayOnlyShortcuts() {
    return {};
}

namespace {

void FlattenInto(const std::vector<MenuEntry>& entries, std::vector<const MenuEntry*>& out) {
    for (const MenuEntry& entry : entries) {
        out.push_back(&entry);
        FlattenInto(entry.children, out);
    }
}

}  // namespace

std::vector<const MenuEntry*> FlattenMenu(const std::vector<TopMenu>& menus) {
    std::vector<const MenuEntry*> out;
    for (const TopMenu& menu : menus) FlattenInto(menu.entries, out);
    return out;
}

const MenuEntry* FindEntry(const std::vector<TopMenu>& menus, int id) {
    for (const MenuEntry* entry : FlattenMenu(menus)) {
        if (entry->id == id && entry->kind != EntryKind::Separator && entry->kind != EntryKind::Submenu)
            return entry;
    }
    return nullptr;
}

std::string AcceleratorText(const std::string& itemText) {
    const auto tab = itemText.find('\t');
    return tab == std::string::npos ? std::string() : itemText.substr(tab + 1);
}

}  // namespace MainMenu
