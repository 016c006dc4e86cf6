#pragma once
// A small event object on the standard library: set by one thread, waited on
// by another, optionally together with a second event. Auto-reset events
// release one wait and clear themselves; manual-reset events stay set until
// Reset.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace Recorder {

class SignalEvent {
public:
    enum class Mode { AutoReset, ManualReset };

    explicit SignalEvent(Mode mode = Mode::AutoReset) : mode_(mode) {}
    SignalEvent(const SignalEvent&) = delete;
    SignalEvent& operator=(const SignalEvent&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;

    // Waits until the event is set; false on time-out.
    bool Wait(std::chrono::milliseconds timeout);
    void Wait();

    // Waits without a time limit until either event is set and returns 0 or 1
    // for the one that released the wait (the first when both are set).
    // Each event may have only one thread waiting on it through WaitAny.
    static int WaitAny(SignalEvent& first, SignalEvent& second);

private:
    // Shared wake-up point of one WaitAny call.
    struct Waiter {
        std::mutex mutex;
        std::condition_variable wake;
        bool woken = false;  // guarded by mutex
    };

    // Takes the signal if set (clearing it for auto-reset). Caller holds mutex_.
    bool ConsumeLocked();

    const Mode mode_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_ = false;    // guarded by mutex_
    Waiter* waiter_ = nullptr;  // guarded by mutex_; set during WaitAny
};

}  // namespace Recorder
