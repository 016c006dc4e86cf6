#include "app/logic/NotePresetMenu.h"

NotePresetMenu::NotePresetMenu() {
    Rebuild(PresetList{});
}

void NotePresetMenu::Rebuild(const PresetList& list) {
    items_.clear();
    commandToIndex_.clear();

    if (list.entries.empty()) {
        NotePresetMenuItem empty;
        empty.text = NotePresetEmptyItemText;
        empty.enabled = false;
        empty.grayed = true;
        items_.push_back(std::move(empty));
        return;
    }

    // Only ids inside the routed range reach the handlers; a preset beyond
    // it could never be chosen, so it gets no item.
    constexpr int itemCount = NotePresetLastCommandId - NotePresetFirstCommandId + 1;
    const auto capacity = static_cast<std::size_t>(itemCount);
    for (std::size_t i = 0; i < list.entries.size() && i < capacity; ++i) {
        const int index = static_cast<int>(i);
        NotePresetMenuItem item;
        item.text = list.entries[i].name;
        item.id = NotePresetFirstCommandId + index;
        item.enabled = true;
        item.checked = index == list.SelectedIndex;
        commandToIndex_[item.id] = index;
        items_.push_back(std::move(item));
    }
}

std::optional<int> NotePresetMenu::IndexForCommand(int id) const {
    const auto it = commandToIndex_.find(id);
    if (it == commandToIndex_.end()) return std::nullopt;
    return it->second;
}

NotePresetMenu::ItemState NotePresetMenu::Update(int id, const PresetList& list) const {
    ItemState state;
    if (const auto index = IndexForCommand(id)) {
        state.enabled = true;
        state.checked = *index == list.SelectedIndex;
    }
    return state;
}

bool NotePresetMenu::Choose(int id, PresetList& list) const {
    const auto index = IndexForCommand(id);
    if (!index) return false;
    list.SelectedIndex = *index;
    return true;
}
