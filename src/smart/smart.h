// Drive temperature (%H) and the attribute log.
#pragma once

#include "metrics/registry.h"
#include "smart/smart_device.h"

constexpr MetricSlot SlotDriveTemperature = metricSlot("H");

struct DriveTemperatureReading {
    int value;    // degrees, or the ATA attribute's raw byte; 255 for none
    bool asleep;  // the drive was spun down and nothing was asked
};

// The whole reading, from plain values to a plain result: it touches no
// window, segment or shared state, so it may run on any thread. ATA
// S.M.A.R.T. first; where that gives 255, the storage stack.
DriveTemperatureReading readDriveTemperature(int osClass, int physicalDrive, int driveNumber,
                                             int attributeId);

// logMode 0: the temperature as above, 255 for a sleeping drive. logMode
// 1: writes the attribute log, or the NVMe health log of a drive without
// ATA attributes; 0 when written, 255 otherwise.
int queryDriveSmart(int osClass, int physicalDrive, int driveNumber, int attributeId, int logMode);

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
