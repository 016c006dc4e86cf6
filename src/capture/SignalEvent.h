#pragma once
// A small event object on the standard library: set by one thread, waited on
// by another, optionally together with a second event. Auto-reset events
// release one wait and clear themselves; manual-reset events stay set.
//
// Set takes no lock and allocates nothing, so the audio device's callback may
// call it: it raises an atomic flag and, only when a thread sleeps on the
// event, releases that thread's semaphore (an atomic add, and a futex wake
// when the count was zero). The waiting side does the rest.

#include <atomic>
#include <chrono>
#include <semaphore>

namespace Recorder {

class SignalEvent {
public:
    enum class Mode { AutoReset, ManualReset };

    explicit SignalEvent(Mode mode = Mode::AutoReset) : mode_(mode) {}
    SignalEvent(const SignalEvent&) = delete;
    SignalEvent& operator=(const SignalEvent&) = delete;

    // Lock-free; safe on a real-time thread.
    void Set();
    bool IsSet() const;

    // Waits until the event is set; false on time-out.
    bool Wait(std::chrono::milliseconds timeout);

    // Waits without a time limit until either event is set and returns 0 or 1
    // for the one that released the wait (the first when both are set).
    //
    // One thread at a time may wait on an event, through Wait or WaitAny.
    static int WaitAny(SignalEvent& first, SignalEvent& second);

private:
    // The semaphore one waiting call sleeps on. It lives on that call's
    // stack, so every wait starts without stale releases.
    using Wakeup = std::counting_semaphore<>;

    // Takes the signal if set (clearing it for auto-reset).
    bool TryConsume();
    // Makes Set release `wakeup` from now on.
    void Register(Wakeup& wakeup);
    // Stops Set from reaching `wakeup`, and returns only once no Set that
    // may still have seen it is running, so the caller can destroy it.
    void Unregister(Wakeup& wakeup);
    // Waits until the event is set or `deadline` passes; false on time-out.
    bool WaitUntil(std::chrono::steady_clock::time_point deadline);

    const Mode mode_;
    std::atomic<bool> signalled_{false};
    std::atomic<Wakeup*> sleeper_{nullptr};  // the registered waiting call, if any
    std::atomic<int> setsRunning_{0};        // Set calls between their start and end
};

}  // namespace Recorder
