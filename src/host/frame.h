// Where the plugin lives in the shell: its module, the shell's window, its
// own window and the slit it may be docked in, and the screen it started
// on. The plugin's start sets these; every layer may read them.
#pragma once

#include "host/wintypes.h"

constexpr const char* kPluginName = "Telvane";

// The timers of the plugin's own window. The four update timers run the
// metric updaters at the four interval settings.
enum TimerId : unsigned {
    TIMER_MAIN = 4500,
    TIMER_DISK = 4501,
    TIMER_UPTIME = 4502,
    TIMER_HDTEMP = 4503,
    TIMER_AUTOHIDE = 4504,
};
constexpr unsigned kAutoHidePollMs = 300;

struct PluginFrame {
    HINSTANCE instance;
    HWND hostWindow;     // GetBBWnd
    HWND window;         // our own window
    HWND slitWindow;     // null unless started through beginSlitPlugin
    int virtualWidth;    // virtual-screen size, updated on display changes
    int virtualHeight;
    bool hiddenByToggle; // hidden by the shell's hide-plugins broadcast
};

extern PluginFrame frame;
