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

// Where the log command writes, in this order: C:\Telvane.HDTemp.log,
// then Telvane.HDTemp.log beside the settings file, for a user who may
// not create files in the root of C: (Vista and later without
// administrator rights).
constexpr int kSmartLogPathSize = 260;
constexpr int kSmartLogFileCount = 2;
constexpr const char* kSmartLogPath = "C:\\Telvane.HDTemp.log";
constexpr const char* kSmartLogName = "Telvane.HDTemp.log";
struct SmartLogFiles {
    int count;
    char paths[kSmartLogFileCount][kSmartLogPathSize];
};
// The files for a settings file at settingsFile; the second is left out
// where it has no folder, would not fit, or is the first.
SmartLogFiles smartLogFiles(const char* settingsFile);

enum class SmartLogResult {
    Written,
    NoAnswer,    // the drive gave neither attributes nor a health log
    NotWritten,  // it did, but no file could be written
};
struct SmartLogAnswer {
    SmartLogResult result;
    int file;  // the index of the file written
};

// Writes the attribute log, or the NVMe health log of a drive without
// ATA attributes, to the first of `files` that can be written. The drive
// is read even when it sleeps, since the user asked.
SmartLogAnswer writeDriveLog(int osClass, int physicalDrive, int driveNumber, const SmartLogFiles& files);
