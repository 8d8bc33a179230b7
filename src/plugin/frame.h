// The plugin frame: its name, the shell messages it registers for, and
// the running of the metric updaters on its timers. Where it lives in the
// shell (its windows and timer ids) is host/frame.h.
#pragma once

#include <cstdint>

#include "format/tokens.h"
#include "host/bbapi.h"
#include "host/frame.h"
#include "host/version.h"

constexpr const char* kPluginVersion = TELVANE_VERSION;

// The zero-terminated message list sent with MSG_REGISTER/MSG_UNREGISTER.
extern unsigned registeredMessages[4];

// Every metric updater the format needs, once, in the order of the table
// of metrics.
void runAllUpdaters();
// The updaters of one timer that the format needs, in the same order;
// after the main timer's, each graph takes its reading.
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
// The warning rules against the numbers now, with the delay setting;
// `nowMs` is the system's millisecond tick. True when a rule took effect
// or let go.
bool refreshWarnings(uint32_t nowMs);
// On the worker's message: applies every answer waiting and the warning
// rules. True when the line must be painted anew: a text or number
// changed since the window last asked for a paint, or a warning took
// effect or let go; an answer equal to what is shown costs no paint.
bool applyAnswers(uint32_t nowMs);
