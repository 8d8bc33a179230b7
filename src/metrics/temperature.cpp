#include "metrics/temperature.h"

#include "format/format.h"
#include "format/text.h"
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

// The log command: the drive and the files to try, then the answer.
struct SmartLogWork {
    int osClass;
    DriveChoice choice;
    SmartLogFiles files;
    SmartLogAnswer answer;
};

void runSmartLog(Work* work) {
    SmartLogWork& log = workData<SmartLogWork>(work);
    const DriveChoice& c = log.choice;
    log.answer = writeDriveLog(log.osClass, c.physicalDrive, c.driveNumber, log.files);
}

void applySmartLog(const Work& work) {
    const SmartLogWork& log = workData<SmartLogWork>(work);
    char text[kSmartLogReportSize];
    const char* title = smartLogReport(log.answer, log.files, text, sizeof text);
    reportSmartLog(title, text);
}

const WorkKind kDriveTemperatureWork = {runDriveTemperature, applyDriveTemperature};
const WorkKind kSmartLogWork = {runSmartLog, applySmartLog};

}  // namespace

const char* smartLogReport(const SmartLogAnswer& answer, const SmartLogFiles& files, char* text, int size) {
    const int count = files.count < kSmartLogFileCount ? files.count : kSmartLogFileCount;
    if (answer.result == SmartLogResult::Written && answer.file >= 0 && answer.file < count) {
        if (answer.file == 0) {
            formatText(text, size, "S.M.A.R.T. Log file is saved to\n\n%s\n", files.paths[0]);
        } else {
            formatText(text, size, "S.M.A.R.T. Log file is saved to\n\n%s\n\n(%s could not be written.)\n",
                       files.paths[answer.file], files.paths[0]);
        }
        return "S.M.A.R.T. Log Saved";
    }
    if (answer.result == SmartLogResult::NotWritten) {
        formatText(text, size,
                   "The drive answered, but the log file could not be written to\n\n%s\n%s%s\n"
                   "No Log file is saved.\n",
                   files.paths[0], count > 1 ? files.paths[1] : "", count > 1 ? "\n" : "");
    } else {
        formatText(text, size,
                   "Access S.M.A.R.T. Error!\n\nThe drive gave neither its S.M.A.R.T. attributes nor an "
                   "NVMe health log.\nNo Log file is saved.\n");
    }
    return "S.M.A.R.T. Log Not Saved";
}

void resetDriveTemperature() {
    driveTemperature = kNoTemperature;
    shownDrive = kNoDrive;
}

void updateDriveTemperature() {
    writeTemperature(sameDrive(chosenDrive(), shownDrive) ? driveTemperature : kNoTemperature);
    Work work;
    clearWork(&work, kDriveTemperatureWork);
    DriveWork& drive = workData<DriveWork>(&work);
    drive.osClass = osClass;
    drive.choice = chosenDrive();
    requestWork(work);
}

void requestSmartLog() {
    Work work;
    clearWork(&work, kSmartLogWork);
    SmartLogWork& log = workData<SmartLogWork>(&work);
    log.osClass = osClass;
    log.choice = chosenDrive();
    log.files = smartLogFiles(settingsPath);
    requestWork(work);
}
