#include <cstdio>
#include <cstring>

#include "smart/smart_device.h"
#include "smart/smart_fake.h"

FakeSmartDrive fakeSmartDrive;

void resetFakeSmartDrive() {
    std::memset(&fakeSmartDrive, 0, sizeof fakeSmartDrive);
    fakeSmartDrive.attached = true;
    fakeSmartDrive.deviceMap = 0x01;
    fakeSmartDrive.reportedBufferSize = kSmartSectorSize;
}

namespace {
int fakeHandle;
}

bool openSmartDevice(const char* path, bool legacyDriver, SmartHandle* device) {
    std::snprintf(fakeSmartDrive.openedPath, sizeof fakeSmartDrive.openedPath, "%s", path);
    fakeSmartDrive.openedLegacy = legacyDriver;
    if (!fakeSmartDrive.attached) return false;
    ++fakeSmartDrive.opens;
    *device = &fakeHandle;
    return true;
}

bool smartDeviceControl(SmartHandle device, uint32_t request, const void* input, unsigned inputSize,
                        void* output, unsigned outputSize) {
    if (device != &fakeHandle) return false;
    switch (request) {
    case kSmartGetVersion: {
        if (fakeSmartDrive.versionFails || outputSize < sizeof(SmartVersionParams)) return false;
        SmartVersionParams version;
        std::memset(&version, 0, sizeof version);
        version.bVersion = 1;
        version.bIDEDeviceMap = fakeSmartDrive.deviceMap;
        std::memcpy(output, &version, sizeof version);
        return true;
    }
    case kSmartSendDriveCommand:
        if (inputSize < kSmartCommandSize) return false;
        std::memcpy(&fakeSmartDrive.enableCommand, input, kSmartCommandSize);
        fakeSmartDrive.commandInputSize = inputSize;
        fakeSmartDrive.enableOutputSize = outputSize;
        return !fakeSmartDrive.enableFails && outputSize >= kSmartResultHeaderSize;
    case kSmartReceiveDriveData: {
        if (inputSize < kSmartCommandSize) return false;
        std::memcpy(&fakeSmartDrive.readCommand, input, kSmartCommandSize);
        fakeSmartDrive.readOutputSize = outputSize;
        if (fakeSmartDrive.readFails || outputSize < sizeof(SmartAttributeBuffer)) return false;
        SmartAttributeBuffer result;
        std::memset(&result, 0, sizeof result);
        result.cBufferSize = fakeSmartDrive.reportedBufferSize;
        std::memcpy(result.sector, fakeSmartDrive.sector, sizeof result.sector);
        std::memcpy(output, &result, sizeof result);
        return true;
    }
    default:
        return false;
    }
}

void closeSmartDevice(SmartHandle device) {
    if (device == &fakeHandle) ++fakeSmartDrive.closes;
}
