#include "tuning/Temperament.h"

#include <cmath>

namespace {

template <typename Map>
bool AnyNonZero(const Map& offsets) {
    for (const auto& [key, cents] : offsets) {
        if (std::fabs(cents) > NegligibleOffsetCents) return true;
    }
    return false;
}

template <typename Map, typename Key>
float OffsetOrZero(const Map& offsets, Key key) {
    const auto it = offsets.find(key);
    return it == offsets.end() ? 0.0f : it->second;
}

template <typename Entry>
const Entry* EntryAt(const std::vector<Entry>& entries, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return nullptr;
    return &entries[static_cast<std::size_t>(index)];
}

}  // namespace

Temperament::Temperament() {
    for (int pitchClass = 0; pitchClass < 12; ++pitchClass) offsets[pitchClass] = 0.0f;
}

float Temperament::Offset(int key) const {
    return OffsetOrZero(offsets, key);
}

void Temperament::SetOffset(int key, float cents) {
    offsets[key] = cents;
}

bool Temperament::HasNonZeroOffset() const {
    return AnyNonZero(offsets);
}

StretchTable::StretchTable() {
    for (NoteIndex n = NoteIndexMin; n <= NoteIndexMax; ++n) offsets[n] = 0.0f;
}

float StretchTable::Offset(NoteIndex n) const {
    return OffsetOrZero(offsets, n);
}

void StretchTable::SetOffset(NoteIndex n, float cents) {
    offsets[n] = cents;
}

bool StretchTable::HasNonZeroOffset() const {
    return AnyNonZero(offsets);
}

const Temperament* TemperamentList::Selected() const {
    return EntryAt(entries, SelectedIndex);
}

int TemperamentList::EffectiveKey() const {
    return SelectedKey >= 0 && SelectedKey <= 11 ? SelectedKey : 0;
}

const StretchTable* StretchList::Selected() const {
    return EntryAt(entries, SelectedIndex);
}
