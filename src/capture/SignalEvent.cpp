#include "capture/SignalEvent.h"

#include <thread>

namespace Recorder {

// Set is only lock-free if the atomics it touches are.
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free &&
              std::atomic<void*>::is_always_lock_free);

// Why no wake-up is lost: a waiting call registers its semaphore before it
// looks at the flag, and Set raises the flag before it looks for a
// semaphore. With sequentially consistent atomics one of the two sees the
// other: either the waiter finds the flag, or Set finds the waiter and
// releases it. A Set that finds the flag already raised releases nobody; the
// Set that raised it did, or the waiter will still find the flag.

void SignalEvent::Set() {
    // Counted from before the semaphore is looked up until after it was
    // released, so that Unregister can wait for this call to be done with it.
    setsRunning_.fetch_add(1);
    if (!signalled_.exchange(true)) {
        if (Wakeup* sleeper = sleeper_.load()) sleeper->release();
    }
    setsRunning_.fetch_sub(1);
}

bool SignalEvent::IsSet() const {
    return signalled_.load();
}

bool SignalEvent::TryConsume() {
    if (mode_ == Mode::ManualReset) return signalled_.load();
    return signalled_.load() && signalled_.exchange(false);
}

void SignalEvent::Register(Wakeup& wakeup) {
    sleeper_.store(&wakeup);
}

void SignalEvent::Unregister(Wakeup& wakeup) {
    Wakeup* registered = &wakeup;
    sleeper_.compare_exchange_strong(registered, nullptr);
    // A Set that read the pointer before it was cleared is still counted
    // here; it is only a few instructions from its end, so yielding suffices.
    while (setsRunning_.load() != 0) std::this_thread::yield();
}

bool SignalEvent::WaitUntil(std::chrono::steady_clock::time_point deadline) {
    if (TryConsume()) return true;
    Wakeup wakeup(0);
    Register(wakeup);
    bool taken = false;
    for (;;) {
        if (TryConsume()) {
            taken = true;
            break;
        }
        // A release may come from a Set whose signal another wait took;
        // the loop then simply looks again.
        if (!wakeup.try_acquire_until(deadline)) {
            taken = TryConsume();
            break;
        }
    }
    Unregister(wakeup);
    return taken;
}

bool SignalEvent::Wait(std::chrono::milliseconds timeout) {
    return WaitUntil(std::chrono::steady_clock::now() + timeout);
}

int SignalEvent::WaitAny(SignalEvent& first, SignalEvent& second) {
    // The second event is looked at before the first is taken: when it was
    // set, every Set of the first made before it is visible by then, so the
    // first still wins when both were set.
    const auto take = [&first, &second] {
        const bool secondSet = second.IsSet();
        if (first.TryConsume()) return 0;
        if (secondSet && second.TryConsume()) return 1;
        return -1;
    };
    int released = take();
    if (released >= 0) return released;

    Wakeup wakeup(0);
    first.Register(wakeup);
    second.Register(wakeup);
    while ((released = take()) < 0) wakeup.acquire();
    first.Unregister(wakeup);
    second.Unregister(wakeup);
    return released;
}

}  // namespace Recorder
