#pragma once
// SIGINT and SIGTERM ask the program to end the way the user would: the
// signal handler only records the request (async-signal-safe), and the main
// loop polls it and winds down in order. The tuner closes its main window,
// which saves the settings on its way down; zelvo-analyze --live stops
// recording at its next display tick.

namespace ShutdownSignals {

// Installs the handlers for SIGINT and SIGTERM. Safe to call more than once.
void Install();

// True once either signal arrived. Read by the main loop.
bool Requested();

// Forgets a request (tests that raise a signal and continue).
void Clear();

}  // namespace ShutdownSignals
