#pragma once

#include "host/wintypes.h"

// The format help text shown in the About dialog (CR LF line ends).
extern const char kAboutHelpText[];

// Modal About dialog (resource 103), owned by `owner`.
void runAboutDialog(HWND owner);
