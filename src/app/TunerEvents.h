#pragma once
// Events the main window exchanges with itself and with its harmonics
// window. They are posted with wxQueueEvent (handled later, on the user-
// interface thread) or processed at once with ProcessWindowEvent.

#include <wx/event.h>

// The four events from the harmonics window to the main window.
#include "harmonics/HarmonicsEvents.h"

// Posted by the main window to itself at the end of its creation; starts
// recording once the window is fully up.
wxDECLARE_EVENT(EVT_TUNERWND_STARTUP, wxCommandEvent);
