// The disk-control requests of the S.M.A.R.T. query and the three device
// primitives that carry them. The structures are declared here, packed to
// their published sizes, so the portable query can build and read them
// without <windows.h>; smart_win.cpp sends them, smart_native.cpp answers
// them from a recorded drive.
#pragma once

#include <cstdint>

constexpr uint32_t kSmartGetVersion = 0x74080;
constexpr uint32_t kSmartSendDriveCommand = 0x7C084;
constexpr uint32_t kSmartReceiveDriveData = 0x7C088;

constexpr int kSmartSectorSize = 512;

#pragma pack(push, 1)

struct SmartVersionParams {  // GETVERSIONINPARAMS
    uint8_t bVersion;
    uint8_t bRevision;
    uint8_t bReserved;
    uint8_t bIDEDeviceMap;
    uint32_t fCapabilities;
    uint32_t dwReserved[4];
};

struct SmartIdeRegisters {  // IDEREGS
    uint8_t bFeaturesReg;
    uint8_t bSectorCountReg;
    uint8_t bSectorNumberReg;
    uint8_t bCylLowReg;
    uint8_t bCylHighReg;
    uint8_t bDriveHeadReg;
    uint8_t bCommandReg;
    uint8_t bReserved;
};

struct SmartCommandParams {  // SENDCMDINPARAMS
    uint32_t cBufferSize;
    SmartIdeRegisters irDriveRegs;
    uint8_t bDriveNumber;
    uint8_t bReserved[3];
    uint32_t dwReserved[4];
    uint8_t bBuffer[1];
};

struct SmartDriverStatus {  // DRIVERSTATUS
    uint8_t bDriverError;
    uint8_t bIDEError;
    uint8_t bReserved[2];
    uint32_t dwReserved[2];
};

struct SmartCommandResult {  // SENDCMDOUTPARAMS with its one-byte buffer
    uint32_t cBufferSize;
    SmartDriverStatus DriverStatus;
    uint8_t bBuffer[1];
};

// SENDCMDOUTPARAMS header followed by the whole data sector.
struct SmartAttributeBuffer {
    uint32_t cBufferSize;
    SmartDriverStatus DriverStatus;
    uint8_t sector[kSmartSectorSize];
};

#pragma pack(pop)

static_assert(sizeof(SmartVersionParams) == 24, "GETVERSIONINPARAMS is 24 bytes");
static_assert(sizeof(SmartIdeRegisters) == 8, "IDEREGS is 8 bytes");
static_assert(sizeof(SmartCommandParams) == 33, "SENDCMDINPARAMS is 33 bytes");
static_assert(sizeof(SmartDriverStatus) == 12, "DRIVERSTATUS is 12 bytes");
static_assert(sizeof(SmartCommandResult) == 17, "SENDCMDOUTPARAMS is 17 bytes");
static_assert(sizeof(SmartAttributeBuffer) == 528, "attribute buffer is 16 + 512 bytes");

// Drivers expect the command without its trailing buffer byte, and the
// result header without its buffer byte.
constexpr unsigned kSmartCommandSize = sizeof(SmartCommandParams) - 1;       // 32
constexpr unsigned kSmartResultHeaderSize = sizeof(SmartCommandResult) - 1;  // 16

typedef void* SmartHandle;

// Opens the device; legacyDriver selects the Windows 9x driver's way of
// opening. False when the device cannot be opened (nothing to close then).
bool openSmartDevice(const char* path, bool legacyDriver, SmartHandle* device);
bool smartDeviceControl(SmartHandle device, uint32_t request, const void* input, unsigned inputSize,
                        void* output, unsigned outputSize);
void closeSmartDevice(SmartHandle device);
