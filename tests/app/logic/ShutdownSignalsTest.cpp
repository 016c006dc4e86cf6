// The shutdown signals, each in a child process of its own: the first one is
// only recorded, a second one ends the program with the signal's default
// action, and Clear() makes the next one a first one again.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "app/logic/ShutdownSignals.h"

namespace {

// Exits 10 when the first signal was recorded and did not end the child; the
// second raise must not return.
[[noreturn]] void RaiseTwice(int signal) {
    ShutdownSignals::Install();
    std::raise(signal);
    if (!ShutdownSignals::Requested()) std::_Exit(3);
    ShutdownSignals::Clear();
    std::raise(signal);  // a first one again
    if (!ShutdownSignals::Requested()) std::_Exit(4);
    std::raise(signal);
    std::_Exit(10);
}

}  // namespace

TEST(ShutdownSignalsDeathTest, TheSecondSignalEndsTheProgramTheDefaultWay) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        EXPECT_EXIT(RaiseTwice(signal), testing::KilledBySignal(signal), "");
    }
}
