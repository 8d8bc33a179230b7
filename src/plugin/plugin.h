// The entry points the shell calls, and the Windows side of the frame.
#pragma once

#include "host/wintypes.h"

extern "C" {
// Floating start; 0 on success, 1 on failure.
int beginPlugin(HINSTANCE instance);
// Docked start (one function under two names).
int beginPluginEx(HINSTANCE instance, HWND slit);
int beginSlitPlugin(HINSTANCE instance, HWND slit);
void endPlugin(HINSTANCE instance);
}

// MSG_RECONFIGURE, MSG_STYLE_REFRESH and MSG_BROADCAST; always 0.
LRESULT handleHostMessage(UINT message, WPARAM wParam, LPARAM lParam);
// One broadcast command text, from any sender.
void runBroadcast(const char* text);
