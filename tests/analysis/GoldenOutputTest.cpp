// Compares the analyzer's readings of a set of synthetic tones with a committed
// reference table (data/analyzer_reference.csv), so that any change of the
// numbers, however it comes about, shows up as a difference in cents.
//
// To rewrite the table after a deliberate change:
//   ZELVO_WRITE_ANALYZER_REFERENCE=1 zelvo_analysis_tests --gtest_filter='AnalyzerReference.*'

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TestSignals.h"
#include "analysis/Analyzer.h"

namespace {

const char* const ReferencePath = ZELVO_ANALYSIS_TEST_DATA "/analyzer_reference.csv";
const char* const Header =
    "case,rate,quality,frequency,frameFundamental,strongestHarmonic,inharmonicity,level,harmonicCount";

struct Row {
    std::string name;
    int rate = 0;
    int quality = 0;
    double frequency = -1.0;
    double frameFundamental = -1.0;
    int strongestHarmonic = 0;
    double inharmonicity = 1.0;
    double level = 0.0;
    int harmonicCount = 0;
};

struct Tone {
    const char* name;
    std::vector<ZelvoTest::Partial> partials;
};

std::vector<Tone> Tones() {
    return {
        {"sine440", {{440.0, 0.5}}},
        {"harmonic110", ZelvoTest::HarmonicTone(110.0, 8)},
        {"missingFundamental110", ZelvoTest::HarmonicTone(110.0, 8, 0.25, 2)},
        {"stretched82", ZelvoTest::HarmonicTone(82.41, 12, 0.25, 1, 0.0002)},
        {"bass41", ZelvoTest::HarmonicTone(41.2, 10)},
        {"high1760", ZelvoTest::HarmonicTone(1760.0, 3)},
    };
}

std::vector<Row> Measure() {
    std::vector<Row> rows;
    for (const auto& tone : Tones()) {
        for (int rate : {11025, 22050, 44100, 48000, 96000}) {
            for (int quality : {0, 1}) {
                NoteAnalyzer::Analyzer analyzer(NoteAnalyzer::SettingsFor(rate, quality));
                analyzer.noiseFloor = -30.0;
                long clock = 0;
                const auto r = ZelvoTest::Feed(analyzer, tone.partials, 30, clock);
                rows.push_back(Row{tone.name, rate, quality, r.frequency, r.frameFundamental,
                                   r.strongestHarmonic, r.inharmonicity, r.level,
                                   static_cast<int>(r.harmonics.size())});
            }
        }
    }
    return rows;
}

std::vector<Row> ReadReference() {
    std::vector<Row> rows;
    std::ifstream in(ReferencePath);
    std::string line;
    if (!std::getline(in, line) || line != Header) return rows;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream fields(line);
        Row row;
        fields >> row.name >> row.rate >> row.quality >> row.frequency >> row.frameFundamental >>
            row.strongestHarmonic >> row.inharmonicity >> row.level >> row.harmonicCount;
        if (fields) rows.push_back(row);
    }
    return rows;
}

void WriteReference(const std::vector<Row>& rows) {
    std::FILE* f = std::fopen(ReferencePath, "w");
    ASSERT_NE(f, nullptr) << ReferencePath;
    std::fprintf(f, "%s\n", Header);
    for (const auto& r : rows)
        std::fprintf(f, "%s,%d,%d,%.12f,%.12f,%d,%.9g,%.9f,%d\n", r.name.c_str(), r.rate, r.quality,
                     r.frequency, r.frameFundamental, r.strongestHarmonic, r.inharmonicity, r.level,
                     r.harmonicCount);
    std::fclose(f);
}

// Distance in cents, with "no reading" (-1) equal only to itself.
double CentsApart(double a, double b) {
    if (a < 0.0 || b < 0.0) return a == b ? 0.0 : 1e9;
    return std::fabs(ZelvoTest::Cents(a, b));
}

TEST(AnalyzerReference, ReadingsMatchTheCommittedTable) {
    const auto measured = Measure();
    if (std::getenv("ZELVO_WRITE_ANALYZER_REFERENCE") != nullptr) {
        WriteReference(measured);
        GTEST_SKIP() << "reference table rewritten";
    }
    const auto reference = ReadReference();
    ASSERT_EQ(reference.size(), measured.size()) << "missing or malformed " << ReferencePath;
    for (std::size_t i = 0; i < measured.size(); ++i) {
        const Row& m = measured[i];
        const Row& r = reference[i];
        SCOPED_TRACE(r.name + " " + std::to_string(r.rate) + " q" + std::to_string(r.quality));
        ASSERT_EQ(m.name, r.name);
        EXPECT_LT(CentsApart(m.frequency, r.frequency), 0.01);
        EXPECT_LT(CentsApart(m.frameFundamental, r.frameFundamental), 0.01);
        EXPECT_EQ(m.strongestHarmonic, r.strongestHarmonic);
        EXPECT_NEAR(m.inharmonicity, r.inharmonicity, 1.25e-6);  // half a step of the template
        EXPECT_NEAR(m.level, r.level, 0.001);
        // Weak entries made of quantisation noise may come and go with rounding.
        EXPECT_NEAR(m.harmonicCount, r.harmonicCount, 2);
    }
}

// The table itself must say what the tuner promises about these tones.
TEST(AnalyzerReference, TableHoldsTheExpectedPitches) {
    const auto reference = ReadReference();
    ASSERT_FALSE(reference.empty());
    for (const auto& r : reference) {
        SCOPED_TRACE(r.name + " " + std::to_string(r.rate) + " q" + std::to_string(r.quality));
        if (r.name == "sine440") {
            EXPECT_LT(CentsApart(r.frequency, 440.0), 0.05);
        } else if (r.name == "harmonic110" || r.name == "missingFundamental110") {
            EXPECT_NEAR(r.frequency, 110.0, 0.005);
        } else if (r.name == "high1760") {
            EXPECT_LT(CentsApart(r.frequency, 1760.0), 0.05);
        } else if (r.name == "bass41") {
            EXPECT_LT(CentsApart(r.frequency, 41.2), 1.0);
        }
        if (r.name == "stretched82") {
            EXPECT_LT(CentsApart(r.frameFundamental, 82.41), 1.0);
            EXPECT_GT(r.frequency, 82.45);  // the stretch lifts the refined value
        }
    }
}

}  // namespace
