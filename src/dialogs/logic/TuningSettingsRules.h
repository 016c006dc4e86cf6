#pragma once
// What the tuning-settings dialog shows and takes back, without its window.
//
// The dialog edits a copy of the settings: middle A in Hz (shown a second
// time as cents from 440 Hz, the two fields kept in step), the temperament
// with the key it is played in, the stretch table and the transposition.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "persistence/SettingsFiles.h"

namespace TuningSettingsRules {

// The text of the Hz field for a middle A of `hz`, and of the cents field
// for the same frequency (cents above 440 Hz), three decimals each.
std::string HzText(double hz);
std::string CentsText(double hz);

// The field-sync rules. Typing into the Hz field sets the cents field when
// the typed number lies in 220..880 Hz; typing into the cents field sets the
// Hz field when it lies in -1200..1200 cents. Out of range (or not a number,
// which reads as 0): nothing, the other field keeps its text.
std::optional<std::string> CentsTextForHzInput(std::string_view hzText);
std::optional<std::string> HzTextForCentsInput(std::string_view centsText);

// The twelve key names, C first, and the transposition choices "(+0) C" to
// "(+11) B".
std::vector<std::string> KeyNames();
std::vector<std::string> TransposeNames();

// A drop-down list's entries, its selection (-1: none) and whether the user
// may use it.
struct ListFill {
    std::vector<std::string> names;
    int selection = -1;
    bool enabled = false;
};

// The temperament list (its key list is enabled with it) and the stretch
// list: every entry's name in list order, the stored selection when it lies
// inside the list, enabled only when the list has entries.
ListFill TemperamentFill(const TemperamentList& list);
ListFill StretchFill(const StretchList& list);

// A list position as a selection: itself when it lies in 0..count-1, else -1.
int SelectionOf(int position, int count);

// What the dialog's controls hold when OK is pressed.
struct TuningChoice {
    int temperament = -1;  // list positions, -1 where nothing is selected
    int key = -1;
    int stretch = -1;
    int transpose = -1;
    std::string hzText;  // the Hz field as typed
};

// Takes OK's values into `settings`: the temperament, key and stretch
// positions as they are (-1 selects nothing, i.e. the neutral choice), the
// transposition when it is one of the twelve, and middle A from the Hz field only when it reads as 220..880
// Hz (else the old value stays, without a message).
void TakeChoice(SettingsFiles& settings, const TuningChoice& choice);

}  // namespace TuningSettingsRules
