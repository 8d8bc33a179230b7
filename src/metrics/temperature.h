// %H, the drive's temperature, and the S.M.A.R.T. log command: the drive
// the settings choose, asked on the worker's thread.
#pragma once

#include "format/tokens.h"

constexpr MetricSlot SlotDriveTemperature = metricSlot("H");

// Hands the worker a reading of the chosen drive; until it answers, %H
// shows the last figure of that drive, or 255.
void updateDriveTemperature();
// Hands the worker the attribute log of the chosen drive (the log command).
void requestSmartLog();
extern int driveTemperature;
// Forgets the figure shown and the drive it came from.
void resetDriveTemperature();

// Platform side (temperature_win.cpp; a stand-in natively): tells the user
// how writing the log went, 0 being written.
void reportSmartLog(int result);
