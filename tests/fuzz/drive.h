// Shared by the drive-answer fuzz targets: the recorded drive of the
// native build answers with the fuzzer's bytes, and the whole reading and
// log run as they do for the plugin.
#pragma once

#include <cstdint>
#include <cstring>

#include "fuzz.h"
#include "smart/smart.h"
#include "smart/smart_fake.h"
#include "smart/storage_query.h"

// The bytes at `at` of the input, zeros past its end.
inline void takeBytes(const uint8_t* data, size_t size, size_t at, void* into, size_t length) {
    std::memset(into, 0, length);
    if (at < size) {
        std::memcpy(into, data + at, size - at < length ? size - at : length);
    }
}

// A storage-stack figure: a plausible temperature or none.
inline bool plausibleOrNone(int value) {
    return value == kNoTemperature || (value >= kColdestTemperature && value <= kHottestTemperature);
}

// Reads the temperature and writes the log where it costs nothing; the
// log says "written" exactly when the drive gave something to log, and
// every device opened is closed.
inline DriveTemperatureReading readAndLog(int driveNumber, int attributeId, bool driveAnswered) {
    const DriveTemperatureReading reading = readDriveTemperature(2, 0, driveNumber, attributeId);
    FUZZ_CHECK(!reading.asleep);
    SmartLogFiles nowhere = {1, {"/dev/null"}};
    const SmartLogAnswer answer = writeDriveLog(2, 0, driveNumber, nowhere);
    FUZZ_CHECK(answer.result == (driveAnswered ? SmartLogResult::Written : SmartLogResult::NoAnswer));
    FUZZ_CHECK(fakeSmartDrive.opens == fakeSmartDrive.closes);
    return reading;
}
