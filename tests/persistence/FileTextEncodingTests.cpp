#include "persistence/FileTextEncoding.h"
#include "persistence/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

namespace {

TEST(FileTextEncoding, KeepsValidUtf8AndTakesInvalidBytesAsWindows1252) {
    const std::pair<const char*, const char*> cases[] = {
        {"A \xC3\xA9 \xE2\x82\xAC \xF0\x9D\x84\x9E", "A \xC3\xA9 \xE2\x82\xAC \xF0\x9D\x84\x9E"},
        {"\xE9", "\xC3\xA9"},
        {"\x80", "\xE2\x82\xAC"},
        {"\x81", "\xC2\x81"},                              // undefined: C1 control
        {"\xC3", "\xC3\x83"},                              // cut-off sequence
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                  // overlong form
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // surrogate
        {"\xC3\xA9\xE9", "\xC3\xA9\xC3\xA9"},              // mixed
    };
    for (const auto& [bytes, expected] : cases) EXPECT_EQ(DecodeFileText(bytes), expected) << bytes;
}

TEST(NumberText, IntegersLikeStrtolSaturating) {
    const std::pair<const char*, int> cases[] = {{"\t-12x", -12},
                                                 {"+7", 7},
                                                 {"", 0},
                                                 {"3.9", 3},
                                                 {"99999999999", std::numeric_limits<int>::max()},
                                                 {"-99999999999", std::numeric_limits<int>::min()}};
    for (const auto& [text, expected] : cases) EXPECT_EQ(TextToInt(text), expected) << text;
    EXPECT_EQ(IntToText(std::numeric_limits<int>::min()), "-2147483648");
}

TEST(NumberText, DoublesIgnoreTheProcessLocale) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    // A comma-decimal locale, when the machine has one, must change nothing.
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_DOUBLE_EQ(TextToDouble(" 442.5"), 442.5);
    EXPECT_EQ(FloatToText(0.05f), "0.050000");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
