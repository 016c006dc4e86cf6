#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "capture/SignalEvent.h"

namespace Recorder {
namespace {

using namespace std::chrono_literals;

TEST(SignalEvent, WaitAnyLosesNoSignalSetFromAnotherThreadAndPrefersTheFirst) {
    // Many signals raced against the waiter: a lost wake-up hangs the loop,
    // and since the first event wins a tie, the stop may win only once no
    // work signal is pending. Auto-reset: the signal taken by WaitAny is gone.
    SignalEvent work;
    SignalEvent stop;
    std::thread producer([&] {
        for (int i = 0; i < 20000; ++i) {
            work.Set();
            if (i % 64 == 0) std::this_thread::yield();
        }
        stop.Set();
    });
    while (SignalEvent::WaitAny(work, stop) == 0) {
    }
    producer.join();
    EXPECT_FALSE(work.IsSet());
    EXPECT_FALSE(stop.Wait(1ms));
}

}  // namespace
}  // namespace Recorder
