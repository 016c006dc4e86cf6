#include "app/logic/ShutdownSignals.h"

#include <atomic>
#include <csignal>

namespace ShutdownSignals {

namespace {

// Written by the signal handler, read by the user-interface thread. A
// lock-free atomic is safe to store to from a signal handler.
std::atomic<bool> g_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnShutdownSignal(int signal) {
    if (!g_requested.exchange(true)) return;
    // The first request has not ended the program: it may be stuck where no
    // poll comes (a frozen sound server). The second one ends it at once, the
    // way the signal would without a handler. Both calls are safe here.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
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
    // A closed terminal: the same orderly end as SIGTERM.
    sigaction(SIGHUP, &action, nullptr);
}

bool Requested() {
    return g_requested.load();
}

void Clear() {
    g_requested.store(false);
}

}  // namespace ShutdownSignals
