#pragma once
// The window's command ids are fixed numbers, and some lie above 0x7FFF,
// which wx checks menu item ids against (a limit of Windows' 16-bit menu
// ids that GTK does not have). In builds with assertions this one check
// would stop the program at start-up; the filter lets exactly that
// assertion through and hands every other one on.

#include <wx/debug.h>

// Installs the filter. Other assertions go to `others`, or, when it is
// null, to the handler that was installed before.
void InstallMenuIdAssertFilter(wxAssertHandler_t others = nullptr);
