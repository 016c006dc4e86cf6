#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tuning/Preset.h"

// Toolkit-free model of the "Note Preset" submenu of the "&Note" menu. The
// main window renders Items() into a real menu, routes the command id range
// to Choose() and the update events to Update().

inline constexpr const char* NotePresetMenuTitle = "Note Preset";
inline constexpr const char* NotePresetEmptyItemText = "(empty)";
// Position of the submenu inside the "&Note" menu (after the tuning-settings
// item, a separator and the preset-editor item).
inline constexpr int NotePresetMenuPosition = 3;
// The whole id range the window routes to the preset handlers.
inline constexpr int NotePresetFirstCommandId = 3000;
inline constexpr int NotePresetLastCommandId = 13000;

struct NotePresetMenuItem {
    std::string text;  // the preset's name as typed (the renderer escapes '&')
    int id = 0;        // 3000 + list index; 0 for the "(empty)" item
    bool enabled = false;
    bool grayed = false;
    bool checked = false;

    bool operator==(const NotePresetMenuItem&) const = default;
};

class NotePresetMenu {
public:
    // Empty model: a single grayed "(empty)" item, nothing mapped.
    NotePresetMenu();

    // Rebuilds items and the id -> index map from the list. An empty list
    // gives the single disabled, grayed "(empty)" item and no ids. Presets
    // beyond the routed id range are left out of the menu.
    void Rebuild(const PresetList& list);

    const std::vector<NotePresetMenuItem>& Items() const { return items_; }
    const std::map<int, int>& CommandMap() const { return commandToIndex_; }

    // The list index an id stands for, if the id is mapped.
    std::optional<int> IndexForCommand(int id) const;

    struct ItemState {
        bool enabled = false;
        bool checked = false;
    };
    // Update-handler rule: a mapped id is enabled, and checked exactly when
    // its index equals the list's SelectedIndex. Unmapped ids are disabled.
    ItemState Update(int id, const PresetList& list) const;

    // Command-handler rule: for a mapped id, sets list.SelectedIndex to the
    // mapped index and returns true (the caller then hands the active
    // preset's notes on and refreshes). Unmapped ids change nothing.
    bool Choose(int id, PresetList& list) const;

private:
    std::vector<NotePresetMenuItem> items_;
    std::map<int, int> commandToIndex_;
};
