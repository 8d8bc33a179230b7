// The ATA S.M.A.R.T. answer. Input: the attribute id and drive number
// the settings give, a byte of failing requests, the IDE device map, then
// the attribute answer as the driver writes it: the buffer size it
// reports (4 bytes, little-endian) and the 512-byte data sector.
#include "drive.h"
#include "smart/smart_query.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t head[4];
    takeBytes(data, size, 0, head, sizeof head);
    const int attributeId = head[0];
    const int driveNumber = (head[1] & 0x0F) - 4;  // some outside 0..7 too
    resetFakeSmartDrive();
    fakeSmartDrive.versionFails = head[2] & 1;
    fakeSmartDrive.enableFails = head[2] & 2;
    fakeSmartDrive.readFails = head[2] & 4;
    fakeSmartDrive.deviceMap = head[3];
    takeBytes(data, size, 4, &fakeSmartDrive.reportedBufferSize, sizeof fakeSmartDrive.reportedBufferSize);
    takeBytes(data, size, 8, fakeSmartDrive.sector, sizeof fakeSmartDrive.sector);

    const bool answers = !(head[2] & 7) && smartDriveUsable(head[3], driveNumber);
    const int value = readAndLog(driveNumber, attributeId, answers).value;
    // A raw byte of the sector, or none; never one for id 0, an empty entry's.
    FUZZ_CHECK(value >= 0 && value <= 255);
    FUZZ_CHECK(answers || value == kNoTemperature);
    FUZZ_CHECK(attributeId != 0 || value == kNoTemperature);
    return 0;
}
