// Reading and writing the dialogs' numbers the same way in every locale.

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "dialogs/logic/DialogNumbers.h"

namespace {

struct ReadCase {
    const char* text;
    double value;
};

constexpr ReadCase ReadCases[] = {
    {"442", 442.0},  {"442,5", 442.0}, {"  441.5 Hz", 441.5}, {"-100", -100.0}, {"+7.851", 7.851},
    {"1e3", 1000.0}, {"", 0.0},        {"abc", 0.0},          {"Hz 440", 0.0},  {".5", 0.5},
    {"0x10", 16.0},  // the C library reads hexadecimal too
};

void ExpectReadsAsInCLocale() {
    for (const ReadCase& c : ReadCases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DialogNumbers::Read(c.text), c.value);
    }
    EXPECT_EQ(DialogNumbers::Fixed(442.5, 3), "442.500");
}

}  // namespace

TEST(DialogNumbers, ReadsTheLeadingNumberAsTheCLocaleDoes) {
    ExpectReadsAsInCLocale();
}

TEST(DialogNumbers, AUserLocaleWithADecimalCommaChangesNothing) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "C.UTF-8"};
    bool switched = false;
    for (const char* name : locales) {
        if (std::setlocale(LC_NUMERIC, name)) {
            switched = true;
            break;
        }
    }
    ExpectReadsAsInCLocale();
    std::setlocale(LC_NUMERIC, previous.c_str());
    if (!switched) GTEST_SKIP() << "no other locale installed";
}

TEST(DialogNumbers, NonFiniteAndOversizedFloatsReadAsZero) {
    const struct {
        const char* text;
        float value;
    } cases[] = {
        {"441.27", 441.27f}, {"nan", 0.0f},   {"NAN(1)", 0.0f}, {"inf", 0.0f}, {"-infinity", 0.0f},
        {"1e39", 0.0f},      {"-1e39", 0.0f}, {"3e38", 3e38f},  {"x", 0.0f},   {"-5", -5.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const float value = DialogNumbers::ReadFiniteFloat(c.text);
        EXPECT_TRUE(std::isfinite(value));
        EXPECT_EQ(value, c.value);
    }
}

TEST(DialogNumbers, FixedRoundsToTheGivenDecimals) {
    const struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
        {440.0, 3, "440.000"},  {7.8514, 3, "7.851"},   {-1200.0, 3, "-1200.000"}, {441.2749, 2, "441.27"},
        {441.275, 2, "441.27"},  // the double just below 441.275, as printf rounds it
        {0.004, 2, "0.00"},     {-0.0004, 3, "-0.000"}, {NAN, 2, "0.00"},          {INFINITY, 3, "0.000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(DialogNumbers::Fixed(c.value, c.decimals), c.text);
    }
    // The largest double still fits, all its digits.
    const std::string largest = DialogNumbers::Fixed(std::numeric_limits<double>::max(), 2);
    EXPECT_EQ(largest.size(), 309u + 3u);
    EXPECT_EQ(largest.substr(0, 17), "17976931348623157");
    EXPECT_EQ(largest.substr(largest.size() - 3), ".00");
}
