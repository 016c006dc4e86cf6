#include "units/Units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
}  // namespace

// One table for both directions of the 60 dB meter: the energy pane, the
// noise-floor marker and the harmonic opacity all read their positions here.
TEST(Units, MeterMapsSixtyDecibelsOntoZeroToOne) {
    const struct {
        double db, position;
        bool inverts;  // DbFromMeterPosition(position) gives db back
    } cases[] = {
        {0.0, 1.0, true},  {-30.0, 0.5, true},     {-60.0, 0.0, true}, {-15.0, 0.75, true},
        {6.0, 1.0, false}, {-96.3295, 0.0, false}, {-Inf, 0.0, false}, {Inf, 1.0, false},
        {NaN, 0.0, false},  // a level that is not a number reads empty
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(Units::MeterPositionFromDb(c.db), c.position) << c.db;
        if (c.inverts) {
            EXPECT_DOUBLE_EQ(Units::DbFromMeterPosition(c.position), c.db) << c.position;
        }
    }
    // Positions outside the scale are pinned to its ends.
    EXPECT_DOUBLE_EQ(Units::DbFromMeterPosition(-3.0), -60.0);
    EXPECT_DOUBLE_EQ(Units::DbFromMeterPosition(7.0), 0.0);
    EXPECT_DOUBLE_EQ(Units::DbFromMeterPosition(NaN), -60.0);
}

TEST(Units, CalibrationOnlyWhenBothFrequenciesArePlausible) {
    // Factors beyond a factor of two either way switch calibration off.
    const struct {
        double known, observed, factor;
    } cases[] = {{440.0, 441.0, 440.0 / 441.0},
                 {441.0, 440.0, 441.0 / 440.0},
                 {440.0, 1.0, 1.0},
                 {1.0, 441.0, 1.0},
                 {0.5, 441.0, 1.0},
                 {Inf, 440.0, 1.0},
                 {440.0, NaN, 1.0},
                 {-440.0, -441.0, 1.0},
                 {440.0, 220.0, 2.0},
                 {440.0, 880.0, 0.5},
                 {440.0, 219.9, 1.0},
                 {440.0, 880.1, 1.0},
                 {3.4e38, 1.0000001, 1.0}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(Units::CalibrationFactor(c.known, c.observed), c.factor)
            << c.known << " / " << c.observed;
}

TEST(Units, RangesAreInclusiveAndRefuseNaN) {
    const struct {
        bool (*inRange)(double);
        double low, high, def;
    } ranges[] = {{Units::IsMiddleAInRange, 220.0, 880.0, Units::DefaultMiddleAHz},
                  {Units::IsNoiseFloorInRange, -60.0, 0.0, Units::DefaultNoiseFloorDb}};
    for (const auto& r : ranges) {
        EXPECT_TRUE(r.inRange(r.low) && r.inRange(r.high) && r.inRange(r.def)) << r.low;
        EXPECT_FALSE(r.inRange(r.low - 0.001) || r.inRange(r.high + 0.001) || r.inRange(NaN)) << r.low;
    }
}
