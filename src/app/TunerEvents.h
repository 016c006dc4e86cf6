#pragma once
// Events the main window exchanges with itself and with its harmonics
// window. They are posted with wxQueueEvent (handled later, on the user-
// interface thread) or processed at once with ProcessWindowEvent.

#include <wx/event.h>

// Posted by the main window to itself at the end of its creation; starts
// recording once the window is fully up.
wxDECLARE_EVENT(EVT_TUNERWND_STARTUP, wxCommandEvent);

// From the harmonics window to the main window.
wxDECLARE_EVENT(EVT_HARMONICS_DIALOG_DESTROY, wxCommandEvent);          // it is being destroyed
wxDECLARE_EVENT(EVT_HARMONICS_DIALOG_REQUEST_DESTROY, wxCommandEvent);  // the user closed it
wxDECLARE_EVENT(EVT_HARMONICS_STATE_CHANGE, wxCommandEvent);            // a selection changed
wxDECLARE_EVENT(EVT_HARMONICS_STORE_REFERENCE, wxCommandEvent);         // "Store As Reference"
