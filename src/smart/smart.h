// Drive temperature through S.M.A.R.T. (%H) and the attribute log.
#pragma once

constexpr int kNoTemperature = 255;

// logMode 0: the raw byte of the attribute, or 255. logMode 1: writes the
// attribute log; 0 when written, 255 otherwise.
int queryDriveSmart(int osClass, int physicalDrive, int driveNumber, int attributeId, int logMode);
void updateDriveTemperature();
extern int driveTemperature;
