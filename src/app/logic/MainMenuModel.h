#pragma once
// The main window's menu bar and accelerator table as plain data, so that
// their texts, ids and order can be checked without a window system. The
// window turns this model into real menus.

#include <string>
#include <vector>

#include "app/logic/MainWindowRules.h"

namespace MainMenu {

enum class EntryKind {
    Command,  // a plain item
    Check,    // an item that shows a check mark
    Radio,    // an item that shows a radio mark
    Separator,
    Submenu,  // a popup holding `children`
};

struct MenuEntry {
    EntryKind kind = EntryKind::Command;
    int id = 0;             // command id; 0 for separators and submenus
    std::string text;       // item text with '&' mnemonic and "\t" accelerator text
    std::string help;       // status-bar prompt while the item is highlighted
    bool available = true;  // false: the item's command is not offered yet (disabled)
    std::vector<MenuEntry> children;
};

struct TopMenu {
    std::string title;
    std::vector<MenuEntry> entries;
};

// The menu bar: "&Tuner", "&Note", "&Recording", "&View", "&Help". The
// "Note Preset" submenu is not part of it: it is built from the preset list
// and inserted into "&Note" at run time.
std::vector<TopMenu> BuildMenuModel(MainWindowRules::Platform platform = MainWindowRules::ThisPlatform);

// Index of the "&Note" menu in the bar.
inline constexpr int NoteMenuIndex = 1;

// One entry of the accelerator table: Ctrl + a letter key.
struct AcceleratorEntry {
    bool ctrl = true;
    char key = 0;  // upper-case letter
    int command = 0;
    bool operator==(const AcceleratorEntry&) const = default;
};

// The Ctrl shortcuts of the accelerator table. The menu texts also show F1,
// which the toolkit makes the help item's shortcut from the text alone.
std::vector<AcceleratorEntry> BuildAcceleratorTable();

// Key combinations that item texts show but whose command is not offered yet
// (none at present): the window swallows them so that the toolkit, which would make every
// shown combination a shortcut, does not run the item. ("Alt+F4" is left to
// the window system, which closes the window with it anyway.)
std::vector<std::string> DisplayOnlyShortcuts();

// The whole tree flattened, depth first (submenus before their children).
std::vector<const MenuEntry*> FlattenMenu(const std::vector<TopMenu>& menus);

// The entry with that command id, or nullptr.
const MenuEntry* FindEntry(const std::vector<TopMenu>& menus, int id);

// The key-combination text after the tab of an item text ("Ctrl+T"), or "".
std::string AcceleratorText(const std::string& itemText);

}  // namespace MainMenu
