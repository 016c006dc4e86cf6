#include "persistence/FileTextEncoding.h"
#include "persistence/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

namespace {

TEST(FileTextEncoding, KeepsValidUtf8)
{
    const std::string text = "A \xC3\xA9 \xE2\x82\xAC \xF0\x9D\x84\x9E";
    EXPECT_EQ(DecodeFileText(text), text);
}

TEST(FileTextEncoding, TakesInvalidBytesAsWindows1252)
{
    EXPECT_EQ(DecodeFileText("\xE9"), "\xC3\xA9");            // é
    EXPECT_EQ(DecodeFileText("\x80"), "\xE2\x82\xAC");        // €
    EXPECT_EQ(DecodeFileText("\x9F"), "\xC5\xB8");            // Ÿ
    EXPECT_EQ(DecodeFileText("\x81"), "\xC2\x81");            // undefined: C1 control
    EXPECT_EQ(DecodeFileText("\xC3"), "\xC3\x83");            // cut-off sequence
    EXPECT_EQ(DecodeFileText("\xC0\xAF"), "\xC3\x80\xC2\xAF"); // overlong form
    EXPECT_EQ(DecodeFileText("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xE2\x82\xAC"); // surrogate
    EXPECT_EQ(DecodeFileText("\xC3\xA9\xE9"), "\xC3\xA9\xC3\xA9"); // mixed
}

TEST(NumberText, IntegersLikeStrtol)
{
    EXPECT_EQ(TextToInt(" 3 "), 3);
    EXPECT_EQ(TextToInt("\t-12x"), -12);
    EXPECT_EQ(TextToInt("+7"), 7);
    EXPECT_EQ(TextToInt("x"), 0);
    EXPECT_EQ(TextToInt(""), 0);
    EXPECT_EQ(TextToInt("3.9"), 3);
    EXPECT_EQ(TextToInt("99999999999"), std::numeric_limits<int>::max());
    EXPECT_EQ(TextToInt("-99999999999"), std::numeric_limits<int>::min());
}

TEST(NumberText, DoublesIgnoreTheProcessLocale)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    // A comma-decimal locale, when the machine has one, must change nothing.
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_DOUBLE_EQ(TextToDouble(" 442.5"), 442.5);
    EXPECT_EQ(TextToDouble("abc"), 0.0);
    EXPECT_EQ(FloatToText(440.0f), "440.000000");
    EXPECT_EQ(FloatToText(0.05f), "0.050000");
    EXPECT_EQ(FloatToText(-30.0f), "-30.000000");
    EXPECT_EQ(FloatToText(-13.7f), "-13.700000");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(IntToText(-2147483647 - 1), "-2147483648");
}

TEST(NumberText, NarrowingSaturatesToInfinity)
{
    EXPECT_TRUE(std::isinf(NarrowToFloat(1e300)));
    EXPECT_LT(NarrowToFloat(-1e300), 0.0f);
    EXPECT_TRUE(std::isnan(NarrowToFloat(std::nan(""))));
    EXPECT_EQ(NarrowToFloat(2.5), 2.5f);
}

} // namespace
