// The native build's recorded drive, answering the disk-control requests
// in place of the disk driver. Until a test attaches it, it cannot be
// opened, so every query yields 255.
#pragma once

#include <cstdint>

#include "smart/smart_device.h"

struct FakeSmartDrive {
    // Behaviour
    bool attached;         // false: no open succeeds
    bool readWriteDenied;  // a normal user: only the open with no access rights succeeds
    bool versionFails;
    bool enableFails;
    bool readFails;
    uint8_t deviceMap;
    uint32_t reportedBufferSize;
    uint8_t sector[kSmartSectorSize];
    DevicePower power;
    // The storage stack's answers as the driver writes them; a size of 0
    // fails the request.
    uint8_t temperatureAnswer[512];
    unsigned temperatureAnswerSize;
    StorageProtocolBuffer nvmeAnswer;
    unsigned nvmeAnswerSize;

    // What the query did
    char openedPath[64];
    bool openedLegacy;
    bool openedWithoutAccess;
    int opens;
    int closes;
    int requests;  // every request sent to an open device
    SmartCommandParams enableCommand;
    SmartCommandParams readCommand;
    unsigned commandInputSize;
    unsigned enableOutputSize;
    unsigned readOutputSize;
    StoragePropertyQuery temperatureQuery;
    StorageProtocolBuffer nvmeQuery;
};

extern FakeSmartDrive fakeSmartDrive;

// Attaches a present IDE drive 0, powered on, reporting a full sector of
// zeros; the storage stack's requests fail.
void resetFakeSmartDrive();
