#pragma once

#include "host/wintypes.h"

// The format help text shown in the About dialog (CR LF line ends), its
// token lines from the table of metrics.
const char* aboutHelpText();

// Modal About dialog (resource 103), owned by `owner`; `shown` receives
// its window while it is open.
void runAboutDialog(HWND owner, HWND* shown);
