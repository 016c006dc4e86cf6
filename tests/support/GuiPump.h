// Running the toolkit's events from a test, for the programs started by
// GuiTestMain.cpp.
#pragma once

#include <chrono>
#include <functional>

#include <wx/debug.h>

// Runs the toolkit's events (timers, posted events, idle deletion, window
// system events) until `done` holds or `timeout` passes; returns whether it held.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
void PumpFor(std::chrono::milliseconds duration);

// Installs the handler that fails the running test; defined by GuiTestMain.cpp
// and replaced by a suite that must let a known assertion through.
void InstallTestAssertHandler(wxAssertHandler_t fail);
