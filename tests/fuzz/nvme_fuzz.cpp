// The NVMe health log answer. Input: the bytes the driver writes over the
// request (STORAGE_PROTOCOL_DATA_DESCRIPTOR, then the log wherever its
// offset says), as many as given up to the buffer's size; none fails the
// request. The drive answers no ATA request and has no temperature
// property.
#include <cstddef>

#include "drive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    resetFakeSmartDrive();
    fakeSmartDrive.versionFails = true;
    StorageProtocolBuffer& answer = fakeSmartDrive.nvmeAnswer;
    const size_t length = size < sizeof answer ? size : sizeof answer;
    std::memcpy(&answer, data, length);
    fakeSmartDrive.nvmeAnswerSize = static_cast<unsigned>(length);

    // The whole log lies within the bytes the driver wrote.
    const uint8_t* log = nvmeHealthLogIn(answer, static_cast<unsigned>(length));
    const uint8_t* start = reinterpret_cast<const uint8_t*>(&answer);
    FUZZ_CHECK(!log || (log >= start + offsetof(StorageProtocolBuffer, log) && log + kNvmeLogSize <= start + length));

    const int value = readAndLog(0, 194, log != nullptr).value;
    FUZZ_CHECK(plausibleOrNone(value));
    FUZZ_CHECK(log || value == kNoTemperature);
    return 0;
}
