#include "app/logic/ShutdownSignals.h"

#include <atomic>
#include <csignal>

namespace ShutdownSignals {

namespace {

// Written by the signal handler, read by the user-interface thread. A
// lock-free atomic is safe to store to from a signal handler.
std::atomic<bool> g_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnShutdownSignal(int) {
    g_requested.store(true);
}

}  // namespace

void Install() {
    struct sigaction action {};
    action.sa_handler = OnShutdownSignal;
    sigemptyset(&action.sa_mask);
    // Restart interrupted system calls so the toolkit's main loop carries on
    // until it notices the request.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool Requested() {
    return g_requested.load();
}

void Clear() {
    g_requested.store(false);
}

}  // namespace ShutdownSignals
