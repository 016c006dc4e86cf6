// Reading and writing the dialogs' numbers the same way in every locale.

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "dialogs/logic/DialogNumbers.h"

TEST(DialogNumbers, ReadsTheLeadingNumberAsTheCLocaleDoesInEveryLocale) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"442", 442.0},  {"442,5", 442.0}, {"  441.5 Hz", 441.5}, {"-100", -100.0}, {"+7.851", 7.851},
        {"1e3", 1000.0}, {"", 0.0},        {"Hz 440", 0.0},       {".5", 0.5},
    };
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    // A user locale with a decimal comma, where one is installed.
    for (const char* locale : {"C", "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"}) {
        if (!std::setlocale(LC_NUMERIC, locale)) continue;
        SCOPED_TRACE(locale);
        for (const auto& c : cases) EXPECT_EQ(DialogNumbers::Read(c.text), c.value) << c.text;
        EXPECT_EQ(DialogNumbers::Fixed(442.5, 3), "442.500");
    }
    std::setlocale(LC_NUMERIC, previous.c_str());
}

TEST(DialogNumbers, NonFiniteAndOversizedFloatsReadAsZero) {
    const struct {
        const char* text;
        float value;
    } cases[] = {
        {"441.27", 441.27f}, {"nan", 0.0f},   {"-infinity", 0.0f}, {"1e39", 0.0f},
        {"-1e39", 0.0f},     {"3e38", 3e38f}, {"x", 0.0f},         {"-5", -5.0f},
    };
    for (const auto& c : cases) EXPECT_EQ(DialogNumbers::ReadFiniteFloat(c.text), c.value) << c.text;
}

TEST(DialogNumbers, FixedRoundsToTheGivenDecimals) {
    const struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
        {7.8514, 3, "7.851"},   {-1200.0, 3, "-1200.000"}, {441.2749, 2, "441.27"},
        {441.275, 2, "441.27"},  // the double just below 441.275, as printf rounds it
        {-0.0004, 3, "-0.000"}, {NAN, 2, "0.00"},          {INFINITY, 3, "0.000"},
    };
    for (const auto& c : cases) EXPECT_EQ(DialogNumbers::Fixed(c.value, c.decimals), c.text) << c.value;
    // The largest double still fits, all its digits.
    const std::string largest = DialogNumbers::Fixed(std::numeric_limits<double>::max(), 2);
    EXPECT_EQ(largest.size(), 309u + 3u);
    EXPECT_EQ(largest.substr(0, 17), "17976931348623157");
}
