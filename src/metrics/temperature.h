// %H, the drive's temperature, and the S.M.A.R.T. log command: the drive
// the settings choose, asked on the worker's thread.
#pragma once

#include "format/tokens.h"
#include "smart/smart.h"

constexpr MetricSlot SlotDriveTemperature = metricSlot("H");

// Hands the worker a reading of the chosen drive; until it answers, %H
// shows the last figure of that drive, or 255.
void updateDriveTemperature();
// Hands the worker the attribute log of the chosen drive (the log command).
void requestSmartLog();
extern int driveTemperature;
// Forgets the figure shown and the drive it came from.
void resetDriveTemperature();

// The log command's result box: returns its title and writes its text,
// which names the file written, or tells a drive that did not answer from
// files that could not be written.
constexpr int kSmartLogReportSize = 1024;
const char* smartLogReport(const SmartLogAnswer& answer, const SmartLogFiles& files, char* text, int size);
// Platform side (temperature_win.cpp; a stand-in natively): shows it.
void reportSmartLog(const char* title, const char* text);
