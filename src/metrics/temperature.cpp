#include "metrics/temperature.h"

#include "format/format.h"
#include "metrics/system.h"
#include "plugin/worker.h"
#include "settings/settings.h"
#include "smart/smart.h"

int driveTemperature = kNoTemperature;

namespace {

// The drive the figure shown was read from: a sleeping drive keeps its
// last figure, but another drive's figure would be wrong.
constexpr DriveChoice kNoDrive = {-1, -1, -1};
DriveChoice shownDrive = kNoDrive;

bool sameDrive(const DriveChoice& a, const DriveChoice& b) {
    return a.physicalDrive == b.physicalDrive && a.driveNumber == b.driveNumber &&
           a.attributeId == b.attributeId;
}

DriveChoice chosenDrive() {
    return {settings.physicalDriveNumber, settings.driveNumber, settings.hdTempAttrId};
}

void requestDrive(SlowQuery query) {
    Work work;
    clearWork(&work, query);
    work.drive.osClass = osClass;
    work.drive.choice = chosenDrive();
    requestWork(work);
}

}  // namespace

void resetDriveTemperature() {
    driveTemperature = kNoTemperature;
    shownDrive = kNoDrive;
}

void updateDriveTemperature() {
    writeSegmentf(slotOf(SlotDriveTemperature), "%d",
                  sameDrive(chosenDrive(), shownDrive) ? driveTemperature : kNoTemperature);
    requestDrive(QueryDriveTemperature);
}

void requestSmartLog() {
    requestDrive(QuerySmartLog);
}

void runDriveTemperatureWork(DriveWork* work) {
    const DriveChoice& c = work->choice;
    const DriveTemperatureReading reading =
        readDriveTemperature(work->osClass, c.physicalDrive, c.driveNumber, c.attributeId);
    work->result = reading.value;
    work->asleep = reading.asleep;
}

void applyDriveTemperatureWork(const DriveWork& work) {
    if (!sameDrive(work.choice, chosenDrive())) {
        return;  // asked before the drive was changed: the new one's answer follows
    }
    if (!work.asleep || !sameDrive(work.choice, shownDrive)) driveTemperature = work.result;
    shownDrive = work.choice;
    writeSegmentf(slotOf(SlotDriveTemperature), "%d", driveTemperature);
}

void runSmartLogWork(DriveWork* work) {
    const DriveChoice& c = work->choice;
    work->result = queryDriveSmart(work->osClass, c.physicalDrive, c.driveNumber, c.attributeId, 1);
}
