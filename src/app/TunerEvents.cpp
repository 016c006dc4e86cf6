#include "app/TunerEvents.h"

wxDEFINE_EVENT(EVT_TUNERWND_STARTUP, wxCommandEvent);
