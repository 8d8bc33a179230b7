// A drive's temperature and its attribute log, asked of the drive.
#pragma once

#include "smart/smart_device.h"

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
