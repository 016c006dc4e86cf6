// The tuning-settings dialog's rules: the two middle-A fields kept in step,
// the list contents and what OK takes back.

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "dialogs/logic/TuningSettingsRules.h"

using namespace TuningSettingsRules;

TEST(TuningSettingsRules, OpeningTextsOfTheTwoFields) {
    const struct {
        double hz;
        const char* hzText;
        const char* centsText;
    } cases[] = {
        {440.0, "440.000", "0.000"},
        {442.0, "442.000", "7.851"},
        {415.3046975799451, "415.305", "-100.000"},
        {220.0, "220.000", "-1200.000"},
        {880.0, "880.000", "1200.000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hz);
        EXPECT_EQ(HzText(c.hz), c.hzText);
        EXPECT_EQ(CentsText(c.hz), c.centsText);
    }
}

TEST(TuningSettingsRules, TypingInOneFieldSetsTheOtherOnlyInsideItsRange) {
    const struct {
        const char* typed;
        std::optional<std::string> cents;
    } hzCases[] = {
        {"442", "7.851"},          {"442,5", "7.851"},  // a decimal comma ends the number
        {"220", "-1200.000"},      {"880", "1200.000"},    {"219.999", std::nullopt},
        {"880.001", std::nullopt}, {"1000", std::nullopt}, {"", std::nullopt},
        {"abc", std::nullopt},     {"nan", std::nullopt},  {"440abc", "0.000"},
    };
    for (const auto& c : hzCases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(CentsTextForHzInput(c.typed), c.cents);
    }
    const struct {
        const char* typed;
        std::optional<std::string> hz;
    } centsCases[] = {
        {"-100", "415.305"},   {"7.851", "442.000"},      {"1200", "880.000"},
        {"-1200", "220.000"},  {"1200.01", std::nullopt}, {"-1300", std::nullopt},
        {"nan", std::nullopt}, {"inf", std::nullopt},     {"", "440.000"},  // nothing typed reads as 0 cents
    };
    for (const auto& c : centsCases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(HzTextForCentsInput(c.typed), c.hz);
    }
}

TEST(TuningSettingsRules, KeyAndTransposeChoices) {
    const std::vector<std::string> keys = KeyNames();
    const std::vector<std::string> transposes = TransposeNames();
    ASSERT_EQ(keys.size(), 12u);
    ASSERT_EQ(transposes.size(), 12u);
    EXPECT_EQ(keys[0], "C");
    EXPECT_EQ(keys[3], "Eb");
    EXPECT_EQ(keys[10], "Bb");
    EXPECT_EQ(transposes[0], "(+0) C");
    EXPECT_EQ(transposes[2], "(+2) D");
    EXPECT_EQ(transposes[11], "(+11) B");
}

namespace {

TemperamentList Temperaments(std::initializer_list<const char*> names, int selected) {
    TemperamentList list;
    for (const char* name : names) {
        Temperament t;
        t.name = name;
        list.entries.push_back(t);
    }
    list.SelectedIndex = selected;
    return list;
}

}  // namespace

TEST(TuningSettingsRules, ListFillsSelectOnlyInsideTheListAndDisableWhenEmpty) {
    const struct {
        const char* what;
        TemperamentList list;
        int selection;
        bool enabled;
    } cases[] = {
        {"empty", Temperaments({}, 0), -1, false},
        {"second", Temperaments({"Werckmeister III", "Kirnberger"}, 1), 1, true},
        {"past the end", Temperaments({"Werckmeister III", "Kirnberger"}, 2), -1, true},
        {"negative", Temperaments({"Werckmeister III"}, -1), -1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ListFill fill = TemperamentFill(c.list);
        ASSERT_EQ(fill.names.size(), c.list.entries.size());
        for (std::size_t i = 0; i < fill.names.size(); ++i) EXPECT_EQ(fill.names[i], c.list.entries[i].name);
        EXPECT_EQ(fill.selection, c.selection);
        EXPECT_EQ(fill.enabled, c.enabled);
    }
    StretchList stretches;
    EXPECT_FALSE(StretchFill(stretches).enabled);
    stretches.entries.resize(3);
    stretches.entries[2].name = "Steinway B";
    stretches.SelectedIndex = 2;
    const ListFill fill = StretchFill(stretches);
    EXPECT_TRUE(fill.enabled);
    EXPECT_EQ(fill.selection, 2);
    EXPECT_EQ(fill.names[2], "Steinway B");
}

TEST(TuningSettingsRules, OkTakesThePositionsAndOnlyAnInRangeFrequency) {
    const struct {
        const char* what;
        TuningChoice choice;
        float middleA;
        int pitch;
    } cases[] = {
        {"all in range", {1, 3, 0, 2, "442"}, 442.0f, 2},
        {"too high keeps the old frequency", {1, 3, 0, 2, "1000"}, 440.0f, 2},
        {"not a number keeps it", {1, 3, 0, 2, "abc"}, 440.0f, 2},
        {"decimal comma", {1, 3, 0, 2, "442,5"}, 442.0f, 2},
        {"decimal point", {1, 3, 0, 2, "442.5"}, 442.5f, 2},
        {"nothing selected", {-1, -1, -1, -1, "880"}, 880.0f, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsFiles settings;
        settings.config.MiddleA = 440.0f;
        settings.config.Pitch = 5;
        settings.temperaments.SelectedIndex = 7;
        settings.temperaments.SelectedKey = 7;
        settings.stretches.SelectedIndex = 7;
        TakeChoice(settings, c.choice);
        EXPECT_EQ(settings.config.MiddleA, c.middleA);
        EXPECT_EQ(settings.config.Pitch, c.pitch);
        EXPECT_EQ(settings.temperaments.SelectedIndex, c.choice.temperament);
        EXPECT_EQ(settings.temperaments.SelectedKey, c.choice.key);
        EXPECT_EQ(settings.stretches.SelectedIndex, c.choice.stretch);
    }
}
