// The ATA S.M.A.R.T. path, the other way of asking a drive beside the
// storage stack: its portable steps, exposed for the tests.
#pragma once

#include <cstdint>
#include <cstdio>

#include "smart/smart_device.h"

constexpr int kMaxSmartEntries = 30;
constexpr int kSmartEntrySize = 12;
constexpr int kSmartDevicePathSize = 32;

// Writes the device to open into path and returns the physical drive
// number as used (a number above 9 becomes 0 on the NT family).
int smartDevicePath(int osClass, int physicalDrive, char* path, int size);

// True when the device map shows an IDE drive (not ATAPI) at driveNumber,
// which it can only for 0..3.
bool smartDriveUsable(uint8_t deviceMap, int driveNumber);

// The register block of a S.M.A.R.T. command for driveNumber (0..7).
SmartCommandParams smartCommand(int driveNumber, uint8_t feature, uint32_t bufferSize);

// Attribute entries to walk for a reported buffer size, at most 30 so
// every entry lies inside the data sector.
int smartEntryCount(uint32_t reportedBufferSize);

// Raw byte 0 of the first of the first `count` entries whose id is
// attributeId, or 255; always 255 for id 0, which names no attribute.
int findSmartAttribute(const uint8_t* sector, int count, int attributeId);

void writeAttributeLog(FILE* log, int physicalDriveUsed, int driveNumber, const uint8_t* sector, int count);
