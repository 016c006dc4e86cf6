// The tuning-settings dialog's rules: the two middle-A fields kept in step,
// the list contents and what OK takes back.

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "dialogs/logic/TuningSettingsRules.h"

using namespace TuningSettingsRules;

TEST(TuningSettingsRules, EachMiddleAFieldSetsTheOtherOnlyInsideItsRange) {
    EXPECT_EQ(HzText(415.3046975799451) + " " + CentsText(415.3046975799451), "415.305 -100.000");
    EXPECT_EQ(HzText(880.0) + " " + CentsText(880.0), "880.000 1200.000");
    const struct {
        const char* typed;
        std::optional<std::string> cents;
    } hzCases[] = {
        {"442", "7.851"},          {"442,5", "7.851"},  // a decimal comma ends the number
        {"220", "-1200.000"},      {"880", "1200.000"},   {"219.999", std::nullopt},
        {"880.001", std::nullopt}, {"abc", std::nullopt}, {"nan", std::nullopt},
    };
    for (const auto& c : hzCases) EXPECT_EQ(CentsTextForHzInput(c.typed), c.cents) << c.typed;
    const struct {
        const char* typed;
        std::optional<std::string> hz;
    } centsCases[] = {
        {"-100", "415.305"},     {"1200", "880.000"},   {"-1200", "220.000"}, {"1200.01", std::nullopt},
        {"-1300", std::nullopt}, {"inf", std::nullopt}, {"", "440.000"},  // nothing typed reads as 0 cents
    };
    for (const auto& c : centsCases) EXPECT_EQ(HzTextForCentsInput(c.typed), c.hz) << c.typed;
}

TEST(TuningSettingsRules, ListFillsSelectOnlyInsideTheListAndDisableWhenEmpty) {
    EXPECT_EQ(KeyNames()[10] + TransposeNames()[2], "Bb(+2) D");
    ASSERT_EQ(KeyNames().size() + TransposeNames().size(), 24u);
    const struct {
        int count;
        int selected;
        int selection;
    } cases[] = {{0, 0, -1}, {2, 1, 1}, {2, 2, -1}, {1, -1, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.selected << " of " << c.count);
        TemperamentList temperaments;
        StretchList stretches;
        temperaments.entries.resize(c.count);
        stretches.entries.resize(c.count);
        if (c.count) temperaments.entries.back().name = stretches.entries.back().name = "Last";
        temperaments.SelectedIndex = stretches.SelectedIndex = c.selected;
        for (const ListFill& fill : {TemperamentFill(temperaments), StretchFill(stretches)}) {
            ASSERT_EQ(static_cast<int>(fill.names.size()), c.count);
            if (c.count) {
                EXPECT_EQ(fill.names.back(), "Last");
            }
            EXPECT_EQ(fill.selection, c.selection);
            EXPECT_EQ(fill.enabled, c.count > 0);
        }
    }
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
        {"decimal comma", {1, 3, 0, 2, "442,5"}, 442.0f, 2},
        {"decimal point", {1, 3, 0, 2, "442.5"}, 442.5f, 2},
        {"nothing selected", {-1, -1, -1, -1, "880"}, 880.0f, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsFiles settings;
        settings.config.MiddleA = 440.0f;
        settings.config.Pitch = 5;
        settings.temperaments.SelectedIndex = settings.temperaments.SelectedKey = 7;
        settings.stretches.SelectedIndex = 7;
        TakeChoice(settings, c.choice);
        EXPECT_EQ(settings.config.MiddleA, c.middleA);
        EXPECT_EQ(settings.config.Pitch, c.pitch);
        EXPECT_EQ(settings.temperaments.SelectedIndex, c.choice.temperament);
        EXPECT_EQ(settings.temperaments.SelectedKey, c.choice.key);
        EXPECT_EQ(settings.stretches.SelectedIndex, c.choice.stretch);
    }
}
