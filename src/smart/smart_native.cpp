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
    fakeSmartDrive.power = DevicePower::On;
}

namespace {

int fakeHandle;

bool openFake(const char* path, bool allowed, SmartHandle* device) {
    std::snprintf(fakeSmartDrive.openedPath, sizeof fakeSmartDrive.openedPath, "%s", path);
    if (!fakeSmartDrive.attached || !allowed) return false;
    ++fakeSmartDrive.opens;
    *device = &fakeHandle;
    return true;
}

// Copies an answer as a driver does: no more than the output holds.
bool answer(const void* recorded, unsigned size, void* output, unsigned outputSize, unsigned* returned) {
    if (size == 0) return false;
    const unsigned written = size < outputSize ? size : outputSize;
    std::memcpy(output, recorded, written);
    if (returned) *returned = written;
    return true;
}

bool storageQuery(const void* input, unsigned inputSize, void* output, unsigned outputSize,
                  unsigned* returned) {
    StoragePropertyQuery query;
    if (inputSize < sizeof query) return false;
    std::memcpy(&query, input, sizeof query);
    if (query.PropertyId == kStorageDeviceTemperatureProperty) {
        fakeSmartDrive.temperatureQuery = query;
        return answer(fakeSmartDrive.temperatureAnswer, fakeSmartDrive.temperatureAnswerSize, output,
                      outputSize, returned);
    }
    if (query.PropertyId == kStorageDeviceProtocolSpecificProperty &&
        inputSize >= sizeof(StorageProtocolBuffer)) {
        std::memcpy(&fakeSmartDrive.nvmeQuery, input, sizeof fakeSmartDrive.nvmeQuery);
        return answer(&fakeSmartDrive.nvmeAnswer, fakeSmartDrive.nvmeAnswerSize, output, outputSize,
                      returned);
    }
    return false;
}

}  // namespace

bool openSmartDevice(const char* path, bool legacyDriver, SmartHandle* device) {
    fakeSmartDrive.openedLegacy = legacyDriver;
    fakeSmartDrive.openedWithoutAccess = false;
    return openFake(path, legacyDriver || !fakeSmartDrive.readWriteDenied, device);
}

bool openStorageDevice(const char* path, SmartHandle* device) {
    fakeSmartDrive.openedWithoutAccess = true;
    return openFake(path, true, device);
}

bool smartDeviceControl(SmartHandle device, uint32_t request, const void* input, unsigned inputSize,
                        void* output, unsigned outputSize, unsigned* returned) {
    if (returned) *returned = 0;
    if (device != &fakeHandle) return false;
    ++fakeSmartDrive.requests;
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
    case kStorageQueryProperty:
        return storageQuery(input, inputSize, output, outputSize, returned);
    default:
        return false;
    }
}

void closeSmartDevice(SmartHandle device) {
    if (device == &fakeHandle) ++fakeSmartDrive.closes;
}

DevicePower smartDevicePower(SmartHandle device) {
    return device == &fakeHandle ? fakeSmartDrive.power : DevicePower::Unknown;
}
