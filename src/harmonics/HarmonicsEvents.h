#pragma once
// Events the harmonics window queues to the main window (wxQueueEvent), so
// the main window handles them after the window's own handler has returned.

#include <wx/event.h>

wxDECLARE_EVENT(EVT_HARMONICS_DIALOG_DESTROY, wxCommandEvent);          // it is being destroyed
wxDECLARE_EVENT(EVT_HARMONICS_DIALOG_REQUEST_DESTROY, wxCommandEvent);  // the main window is to close it
wxDECLARE_EVENT(EVT_HARMONICS_STATE_CHANGE, wxCommandEvent);            // a selection changed
wxDECLARE_EVENT(EVT_HARMONICS_STORE_REFERENCE, wxCommandEvent);         // "Store As Reference"
