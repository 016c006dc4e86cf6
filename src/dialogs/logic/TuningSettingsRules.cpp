#include "dialogs/logic/TuningSettingsRules.h"

#include <cmath>

#include "dialogs/logic/DialogNumbers.h"
#include "tuning/NoteNames.h"
#include "units/Units.h"

namespace TuningSettingsRules {

namespace {

constexpr int FieldDecimals = 3;
constexpr double MaxCentsInput = 1200.0;

double CentsAbove440(double hz) {
    return Units::CentsPerLogUnit * std::log(hz / Units::A4Hz);
}

template <class List>
ListFill FillOf(const List& list) {
    ListFill fill;
    for (const auto& entry : list.entries) fill.names.push_back(entry.name);
    fill.selection = SelectionOf(list.SelectedIndex, static_cast<int>(fill.names.size()));
    fill.enabled = !fill.names.empty();
    return fill;
}

}  // namespace

std::string HzText(double hz) {
    return DialogNumbers::Fixed(hz, FieldDecimals);
}

std::string CentsText(double hz) {
    return DialogNumbers::Fixed(CentsAbove440(hz), FieldDecimals);
}

std::optional<std::string> CentsTextForHzInput(std::string_view hzText) {
    const double hz = DialogNumbers::Read(hzText);
    if (!Units::IsMiddleAInRange(hz)) return std::nullopt;
    return CentsText(hz);
}

std::optional<std::string> HzTextForCentsInput(std::string_view centsText) {
    const double cents = DialogNumbers::Read(centsText);
    // Written so that NaN fails too.
    if (!(cents >= -MaxCentsInput && cents <= MaxCentsInput)) return std::nullopt;
    return HzText(Units::A4Hz * std::exp(cents / Units::CentsPerLogUnit));
}

std::vector<std::string> KeyNames() {
    return {PitchClassNames.begin(), PitchClassNames.end()};
}

std::vector<std::string> TransposeNames() {
    std::vector<std::string> names;
    names.reserve(PitchClassNames.size());
    for (int k = 0; k < static_cast<int>(PitchClassNames.size()); ++k)
        names.push_back(FormatTransposeChoice(k));
    return names;
}

ListFill TemperamentFill(const TemperamentList& list) {
    return FillOf(list);
}

ListFill StretchFill(const StretchList& list) {
    return FillOf(list);
}

int SelectionOf(int position, int count) {
    return position >= 0 && position < count ? position : -1;
}

void TakeChoice(SettingsFiles& settings, const TuningChoice& choice) {
    settings.temperaments.SelectedIndex = choice.temperament;
    settings.temperaments.SelectedKey = choice.key;
    settings.stretches.SelectedIndex = choice.stretch;
    // The transposition indexes the name tables: an empty selection (which
    // the dialog never leaves, as it always selects one) keeps the old one.
    if (choice.transpose >= 0 && choice.transpose < static_cast<int>(PitchClassNames.size()))
        settings.config.Pitch = choice.transpose;
    const double hz = DialogNumbers::Read(choice.hzText);
    if (Units::IsMiddleAInRange(hz)) settings.config.MiddleA = static_cast<float>(hz);
}

}  // namespace TuningSettingsRules
