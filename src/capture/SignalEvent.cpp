#include "capture/SignalEvent.h"

namespace Recorder {

bool SignalEvent::ConsumeLocked() {
    if (!signalled_) return false;
    if (mode_ == Mode::AutoReset) signalled_ = false;
    return true;
}

void SignalEvent::Set() {
    std::lock_guard lock(mutex_);
    signalled_ = true;
    if (waiter_ != nullptr) {
        // Lock order is always event, then waiter; WaitAny never holds both.
        std::lock_guard waiterLock(waiter_->mutex);
        waiter_->woken = true;
        waiter_->wake.notify_one();
    }
    if (mode_ == Mode::AutoReset) {
        changed_.notify_one();
    } else {
        changed_.notify_all();
    }
}

void SignalEvent::Reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

bool SignalEvent::IsSet() const {
    std::lock_guard lock(mutex_);
    return signalled_;
}

bool SignalEvent::Wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, timeout, [this] { return signalled_; })) return false;
    ConsumeLocked();
    return true;
}

void SignalEvent::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return signalled_; });
    ConsumeLocked();
}

int SignalEvent::WaitAny(SignalEvent& first, SignalEvent& second) {
    SignalEvent* events[2] = {&first, &second};
    Waiter waiter;
    const auto unregister = [&events, &waiter] {
        for (SignalEvent* event : events) {
            std::lock_guard lock(event->mutex_);
            if (event->waiter_ == &waiter) event->waiter_ = nullptr;
        }
    };
    for (;;) {
        // Take a signal that is already there, or register for the next one.
        // A Set between two registrations marks the waiter woken, so the wait
        // below cannot miss it.
        int released = -1;
        for (int i = 0; i < 2 && released < 0; ++i) {
            std::lock_guard lock(events[i]->mutex_);
            if (events[i]->ConsumeLocked()) {
                released = i;
            } else {
                events[i]->waiter_ = &waiter;
            }
        }
        if (released >= 0) {
            // No Set can touch the waiter once it is unregistered from both.
            unregister();
            return released;
        }
        {
            std::unique_lock lock(waiter.mutex);
            waiter.wake.wait(lock, [&waiter] { return waiter.woken; });
            waiter.woken = false;
        }
        unregister();
    }
}

}  // namespace Recorder
