// %H, the drive's temperature, and the S.M.A.R.T. log command: the drive
// the settings choose, asked on the worker's thread.
#pragma once

#include "metrics/registry.h"

constexpr MetricSlot SlotDriveTemperature = metricSlot("H");

// The drive a figure is read from, as the settings choose it.
struct DriveChoice {
    int physicalDrive, driveNumber, attributeId;
};
// One temperature reading or log for the worker: the drive, then the answer.
struct DriveWork {
    int osClass;
    DriveChoice choice;
    int result;  // the temperature, or the log's result
    bool asleep;
};

// Hands the worker a reading of the chosen drive; until it answers, %H
// shows the last figure of that drive, or 255.
void updateDriveTemperature();
// Hands the worker the attribute log of the chosen drive (the log command).
void requestSmartLog();
void runDriveTemperatureWork(DriveWork* work);
void applyDriveTemperatureWork(const DriveWork& work);
void runSmartLogWork(DriveWork* work);
extern int driveTemperature;
// Forgets the figure shown and the drive it came from.
void resetDriveTemperature();
