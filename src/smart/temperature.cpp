#include "format/format.h"
#include "metrics/system.h"
#include "settings/settings.h"
#include "smart/smart.h"

int driveTemperature = kNoTemperature;

void updateDriveTemperature() {
    driveTemperature = queryDriveSmart(osClass, settings.physicalDriveNumber, settings.driveNumber,
                                       settings.hdTempAttrId, 0);
    writeSegmentf(slotOf(SlotDriveTemperature), "%d", driveTemperature);
}
