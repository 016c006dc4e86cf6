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
// before the wait, from another thread while waiting, or not at all: released
// when set, and still set afterwards only in manual-reset mode.
TEST(SignalEvent, WaitReleasesOnSetAndAutoResetConsumesTheSignal) {
    enum class SetBy { Nobody, Before, OtherThread };
    for (const auto mode : {SignalEvent::Mode::AutoReset, SignalEvent::Mode::ManualReset}) {
        for (const SetBy setBy : {SetBy::Nobody, SetBy::Before, SetBy::OtherThread}) {
            const bool released = setBy != SetBy::Nobody;
            const bool setAfterwards = released && mode == SignalEvent::Mode::ManualReset;
            SCOPED_TRACE(::testing::Message() << "manual " << (mode == SignalEvent::Mode::ManualReset)
                                              << ", set by " << static_cast<int>(setBy));
            SignalEvent event(mode);
            if (setBy == SetBy::Before) event.Set();
            std::thread setter([&] {
                if (setBy != SetBy::OtherThread) return;
                std::this_thread::sleep_for(20ms);
                event.Set();
            });
            // Long enough that only a lost wake-up can time out the cases that
            // are set; short for the one that is not.
            EXPECT_EQ(event.Wait(released ? 10s : 30ms), released);
            setter.join();
            EXPECT_EQ(event.IsSet(), setAfterwards);
            EXPECT_EQ(event.Wait(1ms), setAfterwards);
        }
    }
}

// A sleeping WaitAny must be woken by either event; when both are already
// set, the first wins and the second keeps its signal.
TEST(SignalEvent, WaitAnyIsReleasedByEitherEventAndPrefersTheFirst) {
    for (int which : {0, 1}) {
        SignalEvent events[2];
        std::thread setter([&] {
            std::this_thread::sleep_for(20ms);
            events[which].Set();
        });
        EXPECT_EQ(SignalEvent::WaitAny(events[0], events[1]), which);
        setter.join();
        events[1].Set();
        events[0].Set();
        EXPECT_EQ(SignalEvent::WaitAny(events[0], events[1]), 0);
        EXPECT_EQ(SignalEvent::WaitAny(events[0], events[1]), 1);
        EXPECT_FALSE(events[0].IsSet() || events[1].IsSet());
    }
}

}  // namespace
}  // namespace Recorder
