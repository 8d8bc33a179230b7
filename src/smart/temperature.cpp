#include "format/format.h"
#include "metrics/system.h"
#include "settings/settings.h"
#include "smart/smart.h"

int driveTemperature = kNoTemperature;

namespace {

// The drive the figure shown was read from: a sleeping drive keeps its
// last figure, but another drive's figure would be wrong.
struct DriveChoice {
    int physicalDrive, driveNumber, attributeId;
};
constexpr DriveChoice kNoDrive = {-1, -1, -1};
DriveChoice shownDrive = kNoDrive;

}  // namespace

void resetDriveTemperature() {
    driveTemperature = kNoTemperature;
    shownDrive = kNoDrive;
}

void updateDriveTemperature() {
    const DriveChoice choice = {settings.physicalDriveNumber, settings.driveNumber, settings.hdTempAttrId};
    const DriveTemperatureReading reading =
        readDriveTemperature(osClass, choice.physicalDrive, choice.driveNumber, choice.attributeId);
    const bool sameDrive = choice.physicalDrive == shownDrive.physicalDrive &&
                           choice.driveNumber == shownDrive.driveNumber &&
                           choice.attributeId == shownDrive.attributeId;
    if (!reading.asleep || !sameDrive) driveTemperature = reading.value;
    shownDrive = choice;
    writeSegmentf(slotOf(SlotDriveTemperature), "%d", driveTemperature);
}
