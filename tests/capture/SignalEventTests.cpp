#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "capture/SignalEvent.h"

namespace Recorder {
namespace {

using namespace std::chrono_literals;

TEST(SignalEvent, AutoResetReleasesOneWaitAndClears) {
    SignalEvent event;
    EXPECT_FALSE(event.Wait(1ms));
    event.Set();
    event.Set();  // setting twice is still one signal
    EXPECT_TRUE(event.Wait(1ms));
    EXPECT_FALSE(event.Wait(1ms));
}

TEST(SignalEvent, ManualResetStaysSetUntilReset) {
    SignalEvent event(SignalEvent::Mode::ManualReset);
    event.Set();
    EXPECT_TRUE(event.Wait(1ms));
    EXPECT_TRUE(event.Wait(1ms));
    event.Reset();
    EXPECT_FALSE(event.IsSet());
}

TEST(SignalEvent, WaitAnyReturnsTheEventThatWasSet) {
    SignalEvent first;
    SignalEvent second;
    second.Set();
    EXPECT_EQ(SignalEvent::WaitAny(first, second), 1);
    first.Set();
    second.Set();
    EXPECT_EQ(SignalEvent::WaitAny(first, second), 0);  // the first wins a tie
    EXPECT_EQ(SignalEvent::WaitAny(first, second), 1);  // the second kept its signal
}

TEST(SignalEvent, WaitAnyWakesOnASetFromAnotherThreadWithoutLosingSignals) {
    // Many signals raced against the waiter: every round must be woken by
    // exactly the signal it waits for, none may be lost.
    SignalEvent work;
    SignalEvent stop;
    std::atomic<int> produced{0};
    std::atomic<int> consumed{0};
    constexpr int Rounds = 20000;
    std::thread producer([&] {
        for (int i = 0; i < Rounds; ++i) {
            produced.fetch_add(1);
            work.Set();
            if (i % 64 == 0) std::this_thread::yield();
        }
        stop.Set();
    });
    for (;;) {
        const int which = SignalEvent::WaitAny(work, stop);
        consumed.store(produced.load());
        if (which == 1) break;
    }
    producer.join();
    EXPECT_EQ(consumed.load(), Rounds);
}

}  // namespace
}  // namespace Recorder
