#include "tuning/Preset.h"

#include <utility>

#include "tuning/NoteNames.h"

namespace {

// Keeps only ASCII characters of the alphabet. Bytes of multi-byte UTF-8
// characters are all >= 128, so a non-ASCII character is dropped whole.
std::string FilterToAlphabet(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 128 && NotePresetAlphabet.find(c) != std::string_view::npos)
            kept.push_back(c);
    }
    return kept;
}

// Longest range piece accepted: two three-character names and the dash.
constexpr std::size_t MaxRangePieceLength = 7;

void AddPiece(std::string_view piece, NoteSet& notes) {
    const std::size_t dash = piece.find('-');
    if (dash == std::string_view::npos) {
        const NoteIndex n = ParseNoteName(piece);
        if (IsValidNoteIndex(n)) notes.insert(n);
        return;
    }
    // A range needs at least two characters on each side ("C4-D4"); a dash
    // anywhere else ("C-1", "-C4", "C4-") makes the piece unusable.
    if (dash < 2 || dash + 3 > piece.size() || piece.size() > MaxRangePieceLength) return;
    NoteIndex lo = ParseNoteName(piece.substr(0, dash));
    NoteIndex hi = ParseNoteName(piece.substr(dash + 1));
    if (!IsValidNoteIndex(lo) || !IsValidNoteIndex(hi)) return;
    if (lo > hi) std::swap(lo, hi);
    for (NoteIndex n = lo; n <= hi; ++n) notes.insert(n);
}

}  // namespace

const Preset* PresetList::Selected() const {
    if (SelectedIndex < 0 || static_cast<std::size_t>(SelectedIndex) >= entries.size()) return nullptr;
    return &entries[static_cast<std::size_t>(SelectedIndex)];
}

Preset DefaultPreset() {
    return Preset{DefaultPresetName, ParseNoteList(DefaultPresetNotes)};
}

const Preset& ActivePreset(const PresetList& list, const Preset& fallback) {
    const Preset* selected = list.Selected();
    return selected ? *selected : fallback;
}

NoteSet ParseNoteList(std::string_view text) {
    const std::string filtered = FilterToAlphabet(text);
    const std::string_view rest(filtered);
    NoteSet notes;
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t comma = rest.find(',', start);
        if (comma == std::string_view::npos) comma = rest.size();
        if (comma > start) AddPiece(rest.substr(start, comma - start), notes);
        start = comma + 1;
    }
    return notes;
}

std::string FormatNoteList(const NoteSet& notes) {
    std::string text;
    auto it = notes.begin();
    while (it != notes.end()) {
        if (!IsValidNoteIndex(*it)) {
            // Not a note a set should hold; writing "Invalid Note" would
            // corrupt the text, so it is left out.
            ++it;
            continue;
        }
        const NoteIndex first = *it;
        NoteIndex last = first;
        for (++it; it != notes.end() && *it == last + 1 && IsValidNoteIndex(*it); ++it) last = *it;
        if (!text.empty()) text += ", ";
        text += FormatNoteName(first, 0);
        if (last != first) {
            text += '-';
            text += FormatNoteName(last, 0);
        }
    }
    return text;
}
