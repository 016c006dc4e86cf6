#include "tuning/NoteTable.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "units/Units.h"

namespace {

constexpr float EndBandHalfWidth = 50.0f;

// Fills lower and upper from the centers: each note owns the pitches halfway
// to its neighbours; the two end notes reach 50 cents beyond their targets.
// upper[i] and lower[i + 1] come from the same expression, so the bands are
// exactly contiguous.
void SetBandLimits(NoteTable& table) {
    const std::size_t last = table.size() - 1;
    for (std::size_t i = 0; i < table.size(); ++i) {
        NoteBand& band = table[i];
        band.lower = i == 0 ? band.center - EndBandHalfWidth : (table[i - 1].center + band.center) * 0.5f;
        band.upper = i == last ? band.center + EndBandHalfWidth : (band.center + table[i + 1].center) * 0.5f;
    }
}

}  // namespace

NoteTable DefaultNoteTable() {
    NoteTable table(NoteIndexCount);
    for (int i = 0; i < NoteIndexCount; ++i)
        table[static_cast<std::size_t>(i)].center =
            static_cast<float>((i + NoteIndexMin - Units::A4Note) * 100);
    SetBandLimits(table);
    return table;
}

NoteTable BuildNoteTable(const StretchTable& stretch, const Temperament& temperament, int key,
                         float middleAHz) {
    if (!(middleAHz > 0.0f) || !std::isfinite(middleAHz))
        middleAHz = static_cast<float>(Units::DefaultMiddleAHz);
    if (key < 0 || key > 11) key = 0;

    const CentsRe440 ref = static_cast<CentsRe440>(FrequencyToCents(middleAHz));

    // Rotate the offsets entered for the key of C so that C's offset falls on
    // the key note: rotated[p] holds the offset entered for (p - key) mod 12.
    std::array<float, 12> rotated{};
    for (int p = 0; p < 12; ++p)
        rotated[static_cast<std::size_t>(p)] = temperament.Offset((p - key + 12) % 12);

    // Shift the whole temperament so that A keeps offset 0: A4 stays at
    // middle A whatever the temperament and key (stretch aside).
    const float atA = rotated[static_cast<std::size_t>(PitchClassOf(Units::A4Note))];
    for (float& offset : rotated) offset -= atA;

    NoteTable table(NoteIndexCount);
    for (NoteIndex n = NoteIndexMin; n <= NoteIndexMax; ++n) {
        // Summed in 32-bit floats in this order so every build of the same
        // reference gives bit-identical targets.
        float center = static_cast<float>((n - Units::A4Note) * 100) + ref;
        const auto it = stretch.offsets.find(n);
        if (it != stretch.offsets.end()) center += it->second;
        center += rotated[static_cast<std::size_t>(PitchClassOf(n))];
        table[static_cast<std::size_t>(n - NoteIndexMin)].center = center;
    }
    SetBandLimits(table);
    return table;
}

NoteTable BuildNoteTable(const StretchList& stretches, const TemperamentList& temperaments, float middleAHz) {
    const StretchTable* stretch = stretches.Selected();
    const Temperament* temperament = temperaments.Selected();
    return BuildNoteTable(stretch ? *stretch : StretchTable(), temperament ? *temperament : Temperament(),
                          temperaments.EffectiveKey(), middleAHz);
}

const NoteBand* FindNoteBand(const NoteTable& table, NoteIndex n) {
    if (!IsValidNoteIndex(n)) return nullptr;
    const auto i = static_cast<std::size_t>(n - NoteIndexMin);
    return i < table.size() ? &table[i] : nullptr;
}

NoteLookup FrequencyToNote(const NoteTable& table, float frequencyHz) {
    NoteLookup result;
    const CentsRe440 cents = static_cast<CentsRe440>(FrequencyToCents(frequencyHz));
    if (table.empty() || std::isnan(cents)) return result;

    // Only the first 97 bands name notes, whatever the table holds.
    const std::size_t count = table.size() < static_cast<std::size_t>(NoteIndexCount)
                                  ? table.size()
                                  : static_cast<std::size_t>(NoteIndexCount);
    std::size_t i = count - 1;
    if (table[0].lower > cents) {
        i = 0;
    } else {
        // First band whose upper limit lies above the pitch: a pitch exactly
        // on a boundary belongs to the upper band.
        for (std::size_t k = 0; k < count; ++k) {
            if (table[k].upper > cents) {
                i = k;
                break;
            }
        }
    }

    const NoteIndex note = static_cast<NoteIndex>(NoteIndexMin + static_cast<int>(i));
    result.deviation = cents - table[i].center;
    if (std::isinf(result.deviation)) {
        // Zero or infinite frequency: no pitch at all, hence no deviation.
        result.deviation = 0.0f;
        return result;
    }
    if ((note == NoteIndexMin && result.deviation < -EndBandHalfWidth) ||
        (note == NoteIndexMax && result.deviation > EndBandHalfWidth))
        return result;  // beyond the tuner's range
    result.note = note;
    result.withinRange = true;
    return result;
}
