#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "capture/SignalEvent.h"

namespace Recorder {
namespace {

using namespace std::chrono_literals;

TEST(SignalEvent, AutoResetReleasesOneWaitAndTheFirstEventWinsATie) {
    SignalEvent first;
    SignalEvent second;
    first.Set();
    first.Set();  // setting twice is still one signal
    second.Set();
    EXPECT_EQ(SignalEvent::WaitAny(first, second), 0);
    EXPECT_EQ(SignalEvent::WaitAny(first, second), 1);
    EXPECT_FALSE(first.Wait(1ms));
    EXPECT_FALSE(second.Wait(1ms));

    SignalEvent manual(SignalEvent::Mode::ManualReset);
    manual.Set();
    EXPECT_TRUE(manual.Wait(1ms));
    EXPECT_TRUE(manual.Wait(1ms));
    manual.Reset();
    EXPECT_FALSE(manual.IsSet());
}

TEST(SignalEvent, WaitAnyLosesNoSignalSetFromAnotherThread) {
    // Many signals raced against the waiter: a lost wake-up hangs the loop,
    // and since the first event wins a tie, the stop may win only once no
    // work signal is pending.
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
}

}  // namespace
}  // namespace Recorder
