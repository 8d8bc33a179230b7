// State of the plugin frame that other modules read: the windows the
// plugin lives with, how it was started, and the screen it started on.
#pragma once

#include "host/bbapi.h"
#include "metrics/registry.h"
#include "plugin/version.h"

enum TimerId : unsigned {
    TIMER_MAIN = 4500,
    TIMER_DISK = 4501,
    TIMER_UPTIME = 4502,
    TIMER_HDTEMP = 4503,
    TIMER_AUTOHIDE = 4504,
};
constexpr unsigned kAutoHidePollMs = 300;

constexpr const char* kPluginName = "Telvane";
constexpr const char* kPluginVersion = TELVANE_VERSION;

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

// The zero-terminated message list sent with MSG_REGISTER/MSG_UNREGISTER.
extern unsigned registeredMessages[4];

// Every metric updater the format needs, once, in the order of the table
// of metrics.
void runAllUpdaters();
// The updaters of one timer that the format needs, in the same order.
void runTimerUpdaters(unsigned timer);
// One updater, if the format needs it.
void runUpdater(UpdaterId id);
// Compiles the format (the segment table must be empty), applies its
// escapes and runs every updater it needs once. An updater that
// `previousUpdaters` (the last format's) did not hold starts afresh.
void compileAndUpdate(unsigned previousUpdaters);
// Identity texts again, recompile the format, escapes, every updater.
void fullRefresh();
// Kill timer `id` and set it again to `seconds` (at least one second).
void restartTimer(unsigned id, int seconds);
// Timer period for an interval setting: at least one second, so a 0 or a
// negative number cannot make a timer fire continuously, and no overflow
// for huge numbers.
unsigned timerPeriodMs(int seconds);
