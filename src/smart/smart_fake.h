// The native build's recorded drive, answering the S.M.A.R.T. requests in
// place of the disk driver. Until a test attaches it, it cannot be opened,
// so every query yields 255.
#pragma once

#include <cstdint>

#include "smart/smart_device.h"

struct FakeSmartDrive {
    // Behaviour
    bool attached;  // false: the open fails
    bool versionFails;
    bool enableFails;
    bool readFails;
    uint8_t deviceMap;
    uint32_t reportedBufferSize;
    uint8_t sector[kSmartSectorSize];

    // What the query did
    char openedPath[64];
    bool openedLegacy;
    int opens;
    int closes;
    SmartCommandParams enableCommand;
    SmartCommandParams readCommand;
    unsigned commandInputSize;
    unsigned enableOutputSize;
    unsigned readOutputSize;
};

extern FakeSmartDrive fakeSmartDrive;

// Attaches a present IDE drive 0 reporting a full sector of zeros.
void resetFakeSmartDrive();
