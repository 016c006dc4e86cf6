#pragma once
// SIGINT, SIGTERM and SIGHUP ask the program to end the way the user would:
// the signal handler only records the request (async-signal-safe), and the
// main loop polls it and winds down in order. The tuner closes its main
// window, which saves the settings on its way down; zelvo-analyze --live
// stops recording at its next display tick.
//
// A second signal while a request is pending ends the program at once with
// the signal's default action: the way out of a wind-down that hangs (a
// sound server that no longer answers).

namespace ShutdownSignals {

// Installs the handlers for SIGINT, SIGTERM and SIGHUP. Safe to call more
// than once.
void Install();

// True once either signal arrived. Read by the main loop.
bool Requested();

// Forgets a request (tests that raise a signal and continue); the next
// signal is a first one again.
void Clear();

}  // namespace ShutdownSignals
