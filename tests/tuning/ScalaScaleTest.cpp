#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tuning/ScalaScale.h"

namespace {

double Cents(double ratio) {
    return 1200.0 * std::log2(ratio);
}

const double kPureFifth = Cents(3.0 / 2.0);
const double kPythagoreanComma = Cents(531441.0 / 524288.0);
const double kSyntonicComma = Cents(81.0 / 80.0);
const double kSchisma = kPythagoreanComma - kSyntonicComma;

// Walks a chain of eleven fifths upward from the pitch class start, the
// fifths listed in tempered narrowed by narrowing cents (and F#-C# of the
// chain from C by schisma), and returns each half-step's offset from equal
// temperament with C as the scale's 1/1.
std::array<double, 12> OffsetsFromFifths(int start, double narrowing, std::initializer_list<int> tempered,
                                         double schisma = 0.0) {
    std::array<double, 12> position{};
    double cents = 0.0;
    for (int i = 0, pitchClass = start; i < 11; ++i) {
        const bool narrowed = std::find(tempered.begin(), tempered.end(), i) != tempered.end();
        cents += kPureFifth - (narrowed ? narrowing : 0.0) - (i == 6 ? schisma : 0.0);
        pitchClass = (pitchClass + 7) % 12;
        position[static_cast<std::size_t>(pitchClass)] = cents;
    }
    std::array<double, 12> offsets{};
    for (std::size_t k = 0; k < 12; ++k) {
        const double fromC = std::fmod(position[k] - position[0], 1200.0);
        offsets[k] = fromC + (fromC < 0.0 ? 1200.0 : 0.0) - 100.0 * static_cast<double>(k);
    }
    return offsets;
}

struct PublishedScale {
    const char* name;
    const char* file;
    std::array<double, 12> expected;
};

// The files are written the way the published tunings are usually given:
// ratios where the pitch is rational, cents to three decimals otherwise.
std::vector<PublishedScale> PublishedScales() {
    const double pc4 = kPythagoreanComma / 4.0;
    const double sc4 = kSyntonicComma / 4.0;
    const double pc6 = kPythagoreanComma / 6.0;
    return {
        // C-G-D-A and B-F# narrowed by a quarter of the Pythagorean comma.
        {"Werckmeister III",
         "! werck3.scl\n!\nWerckmeister III (1691)\n 12\n!\n 256/243\n 192.180\n 32/27\n 390.225\n 4/3\n"
         " 1024/729\n 696.090\n 128/81\n 888.270\n 16/9\n 1092.180\n 2/1\n",
         OffsetsFromFifths(0, pc4, {0, 1, 2, 5})},
        // C-G-D-A-E narrowed by a quarter syntonic comma, F#-C# by the schisma.
        {"Kirnberger III",
         "!\n Kirnberger III \n12\n256/243\n193.157\n32/27\n5/4\n4/3\n45/32\n696.578\n128/81\n889.735\n"
         "16/9\n15/8\n2/1\n",
         OffsetsFromFifths(0, sc4, {0, 1, 2, 3}, kSchisma)},
        // Eb up to G#, every fifth narrowed by a quarter syntonic comma.
        {"1/4-comma meantone",
         "1/4-comma meantone\r\n12\r\n! pitches\r\n76.049\r\n193.157\r\n310.265\r\n5/4\r\n503.422\r\n"
         "579.471\r\n696.578\r\n772.627\r\n889.735\r\n1006.843\r\n1082.892\r\n2/1\r\n",
         OffsetsFromFifths(3, sc4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10})},
        // F-C-G-D-A-E-B narrowed by a sixth of the Pythagorean comma.
        {"Vallotti",
         "Vallotti\n12\n\n94.135 ! C#\n196.090\n298.045\n392.180\n\n501.955\n592.180\n698.045\n796.090\n"
         "894.135\n1000.000\n1090.225\n1200.000\n",
         OffsetsFromFifths(5, pc6, {0, 1, 2, 3, 4, 5})},
    };
}

// Written out and read back, a temperament comes back equal and is then
// written the same way again.
void ExpectRoundTrip(const Temperament& t) {
    const std::string written = FormatScalaTemperament(t);
    const ScalaImportResult back = ParseScalaTemperament(written);
    ASSERT_TRUE(back.temperament.has_value()) << back.error << "\n" << written;
    EXPECT_EQ(*back.temperament, t) << written;
    EXPECT_EQ(FormatScalaTemperament(*back.temperament), written);
}

}  // namespace

TEST(ScalaImport, PublishedTemperamentsMatchTheirDefinitionsAndRoundTrip) {
    for (const PublishedScale& scale : PublishedScales()) {
        SCOPED_TRACE(scale.name);
        const ScalaImportResult result = ParseScalaTemperament(scale.file);
        ASSERT_TRUE(result.temperament.has_value()) << result.error;
        EXPECT_TRUE(result.error.empty());
        EXPECT_EQ(result.temperament->offsets.size(), 12u);
        for (int k = 0; k < 12; ++k)
            EXPECT_NEAR(result.temperament->Offset(k), scale.expected[static_cast<std::size_t>(k)], 0.01)
                << "pitch class " << k;
        ExpectRoundTrip(*result.temperament);
    }
    EXPECT_EQ(ParseScalaTemperament(PublishedScales()[0].file).temperament->name, "Werckmeister III (1691)");
    EXPECT_EQ(ParseScalaTemperament(PublishedScales()[1].file).temperament->name, "Kirnberger III");
    // Values that need many decimals, and pitches far below or above their place.
    const ScalaImportResult odd = ParseScalaTemperament(
        "odd\n12\n100.0000001\n-5.5\n300.123456789\n1/1\n500.\n.5\n700.25\n2000.0\n800.0\n900.0\n1000.0\n2/"
        "1\n");
    ASSERT_TRUE(odd.temperament.has_value()) << odd.error;
    ExpectRoundTrip(*odd.temperament);
}

TEST(ScalaExport, WritesTwelveCentsLinesAndTheOctave) {
    Temperament t;
    t.name = "Mine";
    t.SetOffset(1, -2.5f);
    t.SetOffset(7, 1.955f);
    const std::string text = FormatScalaTemperament(t);
    EXPECT_EQ(text,
              "! Temperament written by Zelvo Tuner\n!\nMine\n 12\n!\n 97.5\n 200.0\n 300.0\n 400.0\n 500.0\n"
              " 600.0\n 701.955\n 800.0\n 900.0\n 1000.0\n 1100.0\n 2/1\n");

    // C's own offset moves every pitch of the scale, which starts on C.
    t.SetOffset(0, 3.0f);
    const ScalaImportResult shifted = ParseScalaTemperament(FormatScalaTemperament(t));
    ASSERT_TRUE(shifted.temperament.has_value()) << shifted.error;
    EXPECT_FLOAT_EQ(shifted.temperament->Offset(0), 0.0f);
    EXPECT_FLOAT_EQ(shifted.temperament->Offset(1), -5.5f);
    EXPECT_FLOAT_EQ(shifted.temperament->Offset(4), -3.0f);

    // Names stay one description line and are never mistaken for comments.
    for (const auto& [name, read] : {std::pair{"two\nlines", "two lines"},
                                     {"!bang", "!bang"},
                                     {"", ""},
                                     {"with\r\nbreak", "with  break"}}) {
        t.name = name;
        const ScalaImportResult back = ParseScalaTemperament(FormatScalaTemperament(t));
        ASSERT_TRUE(back.temperament.has_value()) << back.error;
        EXPECT_EQ(back.temperament->name, read);
    }
}

TEST(ScalaImport, RefusesBrokenFilesWithAReason) {
    const std::string pitches11 =
        "100.0\n200.0\n300.0\n400.0\n500.0\n600.0\n700.0\n800.0\n900.0\n1000.0\n1100.0\n";
    const std::string head = "Test\n12\n";
    const std::pair<std::string, std::string> cases[] = {
        {"", "description line is missing"},
        {"! only a comment\r\n!\r\n", "description line is missing"},
        {"Name only\n", "number of notes is missing"},
        {"Name\n\n\n", "number of notes is missing"},
        {"Name\ntwelve\n", "\"twelve\" is not a number of notes"},
        {"Name\n-12\n", "not a number of notes"},
        {"Name\n99999999999999999999999\n", "far too large"},
        {"Name\n7\n9/8\n5/4\n4/3\n3/2\n5/3\n15/8\n2/1\n", "7 notes per octave"},
        {"Name\n0\n", "0 notes per octave"},
        {head, "ends after 0 of the 12"},
        {head + "100.0\n200.0\n", "ends after 2 of the 12"},
        {head + pitches11, "ends after 11 of the 12"},
        {head + pitches11 + "3/1\n", "last pitch must be the octave"},
        {head + pitches11 + "1200.01\n", "last pitch must be the octave"},
        {head + pitches11 + "1100.0\n", "Line 14: the last pitch must be the octave"},
        {head + "abc\n", "Line 3: \"abc\" is neither cents"},
        {head + "1.2.3\n", "not a cents value"},
        {head + "1e3.0\n", "not a cents value"},
        {head + "-.\n", "not a cents value"},
        {head + "+-1.0\n", "not a cents value"},
        {head + "3/0\n", "not a positive number"},
        {head + "0/5\n", "not a positive number"},
        {head + "0\n", "not a positive number"},
        {head + "-3/2\n", "neither cents"},
        {head + "3/2/1\n", "neither cents"},
        {head + "3/\n", "neither cents"},
        {head + "99999999999999999999999/2\n", "too many digits"},
        {head + std::string(70, '9') + ".0\n", "too long"},
        {head + std::string(400, '9') + "\n", "too many digits"},
        {head + "1400.0\n", "at most 1200"},
        {head + "-1200.0\n", "at most 1200"},
        {head + "100000000000000000000000000000000000000.0\n", "at most 1200"},
    };
    for (const auto& [text, reason] : cases) {
        const ScalaImportResult result = ParseScalaTemperament(text);
        EXPECT_FALSE(result.temperament.has_value()) << text;
        EXPECT_NE(result.error.find(reason), std::string::npos) << text << "\ngave: " << result.error;
    }
}

TEST(ScalaImport, AcceptsLooseButValidLayouts) {
    // A blank description, trailing text after numbers, bare integers for
    // n/1, an octave written as 4/2, and extra lines after the twelve.
    const ScalaImportResult loose = ParseScalaTemperament(
        "\n12\n\t100.0 cents\n200.0\n300.0\n400.0\n500.0\n600.0\n700.0\n800.0\n900.0\n1000.0\n1100.0\n4/2 "
        "octave\n"
        "stray text\n");
    ASSERT_TRUE(loose.temperament.has_value()) << loose.error;
    EXPECT_EQ(loose.temperament->name, "");
    EXPECT_FALSE(loose.temperament->HasNonZeroOffset());

    // Negative cents and a lone CR as line end; pitches need not ascend.
    const ScalaImportResult wild = ParseScalaTemperament(
        "Wild\r12\r-50.0\r200.0\r300.0\r400.0\r500.0\r600.0\r700.0\r800.0\r900.0\r1000.0\r"
        "1100.0\r2\r");
    ASSERT_TRUE(wild.temperament.has_value()) << wild.error;
    EXPECT_FLOAT_EQ(wild.temperament->Offset(1), -150.0f);
    EXPECT_FLOAT_EQ(wild.temperament->Offset(0), 0.0f);
}

TEST(ScalaImport, KeptInputsAreReadOrRefusedAndRoundTrip) {
    // The fuzzer's starting inputs and whatever it found worth keeping:
    // each is refused with a reason or survives writing and reading back.
    int accepted = 0;
    int refused = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ZELVO_SCALA_CORPUS_DIR)) {
        if (entry.path().filename() == "README") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const ScalaImportResult result = ParseScalaTemperament(text);
        EXPECT_EQ(result.temperament.has_value(), result.error.empty()) << entry.path();
        if (!result.temperament) {
            ++refused;
            continue;
        }
        ++accepted;
        ExpectRoundTrip(*result.temperament);
    }
    EXPECT_GE(accepted, 3);
    EXPECT_GE(refused, 4);
}
