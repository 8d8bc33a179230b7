// The storage drivers' temperature property. Input: the bytes the driver
// writes for it (STORAGE_TEMPERATURE_DATA_DESCRIPTOR), as many as given up
// to the room asked for; none fails the request. The drive answers no ATA
// request and gives no NVMe health log.
#include "drive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    resetFakeSmartDrive();
    fakeSmartDrive.versionFails = true;
    const size_t length = size < sizeof fakeSmartDrive.temperatureAnswer ? size : sizeof fakeSmartDrive.temperatureAnswer;
    std::memcpy(fakeSmartDrive.temperatureAnswer, data, length);
    fakeSmartDrive.temperatureAnswerSize = static_cast<unsigned>(length);

    const int value = readAndLog(0, 194, false).value;
    FUZZ_CHECK(plausibleOrNone(value));
    FUZZ_CHECK(length >= sizeof(StorageTemperatureHeader) + sizeof(StorageTemperatureInfo) ||
               value == kNoTemperature);
    return 0;
}
