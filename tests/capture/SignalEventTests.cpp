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

// What a wait returns and leaves behind, for each mode, with the event set
// before the wait, from another thread while waiting, or not at all.
TEST(SignalEvent, WaitReleasesOnSetAndAutoResetConsumesTheSignal) {
    enum class SetBy { Nobody, Before, OtherThread };
    const struct {
        SignalEvent::Mode mode;
        SetBy setBy;
        bool released, setAfterwards;
    } cases[] = {
        {SignalEvent::Mode::AutoReset, SetBy::Nobody, false, false},
        {SignalEvent::Mode::AutoReset, SetBy::Before, true, false},
        {SignalEvent::Mode::AutoReset, SetBy::OtherThread, true, false},
        {SignalEvent::Mode::ManualReset, SetBy::Nobody, false, false},
        {SignalEvent::Mode::ManualReset, SetBy::Before, true, true},
        {SignalEvent::Mode::ManualReset, SetBy::OtherThread, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "manual " << (c.mode == SignalEvent::Mode::ManualReset)
                                          << ", set by " << static_cast<int>(c.setBy));
        SignalEvent event(c.mode);
        if (c.setBy == SetBy::Before) event.Set();
        std::thread setter([&] {
            if (c.setBy != SetBy::OtherThread) return;
            std::this_thread::sleep_for(20ms);
            event.Set();
        });
        // Long enough that only a lost wake-up can time out the cases that
        // are set; short for the one that is not.
        EXPECT_EQ(event.Wait(c.released ? 10s : 30ms), c.released);
        setter.join();
        EXPECT_EQ(event.IsSet(), c.setAfterwards);
        EXPECT_EQ(event.Wait(1ms), c.setAfterwards);
    }
}

TEST(SignalEvent, WaitAnyIsReleasedByEitherEventSetWhileItSleeps) {
    for (int which : {0, 1}) {
        SignalEvent events[2];
        std::thread setter([&] {
            std::this_thread::sleep_for(20ms);
            events[which].Set();
        });
        EXPECT_EQ(SignalEvent::WaitAny(events[0], events[1]), which);
        setter.join();
        EXPECT_FALSE(events[0].IsSet() || events[1].IsSet());
    }
    // Both already set: the first wins and the second keeps its signal.
    SignalEvent first;
    SignalEvent second;
    second.Set();
    first.Set();
    EXPECT_EQ(SignalEvent::WaitAny(first, second), 0);
    EXPECT_EQ(SignalEvent::WaitAny(first, second), 1);
}

}  // namespace
}  // namespace Recorder
