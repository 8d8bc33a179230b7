// Temperature through the storage stack, for drives that answer no ATA
// S.M.A.R.T. commands: the temperature property and the NVMe health log.
// One of the two ways of asking a drive; smart.cpp chooses between them.
#pragma once

#include <cstdint>
#include <cstdio>

#include "smart/smart_device.h"

// Degrees from a device opened for the storage stack's queries, or 255:
// the temperature property first, then NVMe's health log.
int storageTemperature(SmartHandle device);
// The health log read into `buffer`, or null when the drive gives none.
const uint8_t* readNvmeHealthLog(SmartHandle device, StorageProtocolBuffer* buffer);

// ---- the portable steps, exposed for the tests ----

constexpr int kColdestTemperature = -40;
constexpr int kHottestTemperature = 150;

// Room for the header and 16 sensors; a drive reports fewer.
constexpr unsigned kTemperatureAnswerSize =
    sizeof(StorageTemperatureHeader) + 16 * sizeof(StorageTemperatureInfo);

// celsius, or 255 when it lies outside -40..150 and so is no temperature.
int plausibleTemperature(int celsius);

StoragePropertyQuery storageTemperatureQuery();

// Degrees of the sensor with index 0 in a temperature descriptor the
// driver wrote `returned` bytes of, or 255.
int descriptorTemperature(const uint8_t* answer, unsigned returned);

void prepareNvmeHealthQuery(StorageProtocolBuffer* buffer);

// The whole health log inside an answer of `returned` bytes, or null.
const uint8_t* nvmeHealthLogIn(const StorageProtocolBuffer& answer, unsigned returned);

// The composite temperature of a health log in degrees, or 255.
int nvmeCompositeTemperature(const uint8_t* healthLog);

// A 16-byte little-endian counter in decimal, all 39 digits if need be.
constexpr int kCounterTextSize = 40;
void formatCounter(const uint8_t* counter, char (&text)[kCounterTextSize]);

void writeNvmeHealthLog(FILE* log, int physicalDriveUsed, const uint8_t* healthLog);
