#include "metrics/temperature.h"

#include "format/format.h"
#include "metrics/system.h"
#include "settings/settings.h"
#include "smart/smart.h"
#include "worker/worker.h"

int driveTemperature = kNoTemperature;

namespace {

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

void writeTemperature(int figure) {
    const int index = slotOf(SlotDriveTemperature);
    writeSegmentf(index, "%d", figure);
    if (figure != kNoTemperature) {
        writeValue(index, figure);
    } else {
        clearValue(index);
    }
}

void runDriveTemperature(Work* work) {
    DriveWork& drive = workData<DriveWork>(work);
    const DriveChoice& c = drive.choice;
    const DriveTemperatureReading reading =
        readDriveTemperature(drive.osClass, c.physicalDrive, c.driveNumber, c.attributeId);
    drive.result = reading.value;
    drive.asleep = reading.asleep;
}

void applyDriveTemperature(const Work& work) {
    const DriveWork& drive = workData<DriveWork>(work);
    if (!sameDrive(drive.choice, chosenDrive())) {
        return;  // asked before the drive was changed: the new one's answer follows
    }
    if (!drive.asleep || !sameDrive(drive.choice, shownDrive)) driveTemperature = drive.result;
    shownDrive = drive.choice;
    writeTemperature(driveTemperature);
}

void runSmartLog(Work* work) {
    DriveWork& drive = workData<DriveWork>(work);
    const DriveChoice& c = drive.choice;
    drive.result = queryDriveSmart(drive.osClass, c.physicalDrive, c.driveNumber, c.attributeId, 1);
}

void applySmartLog(const Work& work) {
    reportSmartLog(workData<DriveWork>(work).result);
}

const WorkKind kDriveTemperatureWork = {runDriveTemperature, applyDriveTemperature};
const WorkKind kSmartLogWork = {runSmartLog, applySmartLog};

void requestDrive(const WorkKind& kind) {
    Work work;
    clearWork(&work, kind);
    DriveWork& drive = workData<DriveWork>(&work);
    drive.osClass = osClass;
    drive.choice = chosenDrive();
    requestWork(work);
}

}  // namespace

void resetDriveTemperature() {
    driveTemperature = kNoTemperature;
    shownDrive = kNoDrive;
}

void updateDriveTemperature() {
    writeTemperature(sameDrive(chosenDrive(), shownDrive) ? driveTemperature : kNoTemperature);
    requestDrive(kDriveTemperatureWork);
}

void requestSmartLog() {
    requestDrive(kSmartLogWork);
}
