// The disk-control requests of the temperature query and the device
// primitives that carry them. The structures are declared here, at their
// published sizes, so the portable query can build and read them without
// <windows.h>; smart_win.cpp sends them (and checks them against the
// system headers where those have them), smart_native.cpp answers them
// from a recorded drive.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t kSmartGetVersion = 0x74080;
constexpr uint32_t kSmartSendDriveCommand = 0x7C084;
constexpr uint32_t kSmartReceiveDriveData = 0x7C088;

constexpr int kSmartSectorSize = 512;

// What either way of asking answers when the drive gives no temperature.
constexpr int kNoTemperature = 255;

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

// The storage stack's queries (Windows 10 and later), which any user may
// send: IOCTL_STORAGE_QUERY_PROPERTY needs no access rights.
constexpr uint32_t kStorageQueryProperty = 0x2D1400;
constexpr uint32_t kStorageDeviceProtocolSpecificProperty = 50;
constexpr uint32_t kStorageDeviceTemperatureProperty = 52;
constexpr uint32_t kStorageStandardQuery = 0;
constexpr uint32_t kProtocolTypeNvme = 3;
constexpr uint32_t kNvmeDataTypeLogPage = 2;
constexpr uint32_t kNvmeHealthLogPage = 2;
constexpr int kNvmeLogSize = 512;

// The NVMe SMART / Health Information log (512 bytes): byte offsets of
// the fields we read. Counters are 16 bytes, little-endian; temperatures
// 2 bytes in kelvin, 0 when not reported.
constexpr int kNvmeCriticalWarning = 0;
constexpr int kNvmeCompositeTemperature = 1;
constexpr int kNvmeAvailableSpare = 3;
constexpr int kNvmeAvailableSpareThreshold = 4;
constexpr int kNvmePercentageUsed = 5;
constexpr int kNvmeDataUnitsRead = 32;
constexpr int kNvmeDataUnitsWritten = 48;
constexpr int kNvmePowerOnHours = 128;
constexpr int kNvmeUnsafeShutdowns = 144;
constexpr int kNvmeMediaErrors = 160;
constexpr int kNvmeTemperatureSensors = 200;
constexpr int kNvmeSensorCount = 8;

struct StoragePropertyQuery {  // STORAGE_PROPERTY_QUERY
    uint32_t PropertyId;
    uint32_t QueryType;
    uint8_t AdditionalParameters[4];  // one byte, padded
};

struct StorageTemperatureInfo {  // STORAGE_TEMPERATURE_INFO
    uint16_t Index;
    int16_t Temperature;  // degrees Celsius
    int16_t OverThreshold;
    int16_t UnderThreshold;
    uint8_t OverThresholdChangable;
    uint8_t UnderThresholdChangable;
    uint8_t EventGenerated;
    uint8_t Reserved0;
    uint32_t Reserved1;
};

struct StorageTemperatureHeader {  // STORAGE_TEMPERATURE_DATA_DESCRIPTOR without its entries
    uint32_t Version;
    uint32_t Size;
    int16_t CriticalTemperature;
    int16_t WarningTemperature;
    uint16_t InfoCount;
    uint8_t Reserved0[2];
    uint32_t Reserved1[2];
};

struct StorageProtocolSpecificData {  // STORAGE_PROTOCOL_SPECIFIC_DATA
    uint32_t ProtocolType;
    uint32_t DataType;
    uint32_t ProtocolDataRequestValue;
    uint32_t ProtocolDataRequestSubValue;
    uint32_t ProtocolDataOffset;  // from the start of this structure
    uint32_t ProtocolDataLength;
    uint32_t FixedProtocolReturnData;
    uint32_t ProtocolDataRequestSubValue2;
    uint32_t ProtocolDataRequestSubValue3;
    uint32_t ProtocolDataRequestSubValue4;
};

// One buffer carries the request in and the answer out, as the storage
// stack expects: first STORAGE_PROPERTY_QUERY's two fields with the
// protocol data in place of its parameters, then STORAGE_PROTOCOL_DATA_
// DESCRIPTOR's (Version, Size) over the same bytes. The log follows.
struct StorageProtocolBuffer {
    uint32_t first;   // PropertyId, then Version
    uint32_t second;  // QueryType, then Size
    StorageProtocolSpecificData protocolData;
    uint8_t log[kNvmeLogSize];
};

static_assert(sizeof(StoragePropertyQuery) == 12, "STORAGE_PROPERTY_QUERY is 12 bytes");
static_assert(sizeof(StorageTemperatureInfo) == 16, "STORAGE_TEMPERATURE_INFO is 16 bytes");
static_assert(offsetof(StorageTemperatureInfo, Temperature) == 2, "temperature follows the index");
static_assert(sizeof(StorageTemperatureHeader) == 24, "temperature entries start at byte 24");
static_assert(offsetof(StorageTemperatureHeader, InfoCount) == 12, "entry count at byte 12");
static_assert(sizeof(StorageProtocolSpecificData) == 40, "STORAGE_PROTOCOL_SPECIFIC_DATA is 40 bytes");
static_assert(offsetof(StorageProtocolBuffer, protocolData) == 8, "protocol data after two fields");
static_assert(offsetof(StorageProtocolBuffer, log) == 48, "log just past the protocol data");

typedef void* SmartHandle;

// Opens the device; legacyDriver selects the Windows 9x driver's way of
// opening. False when the device cannot be opened (nothing to close then).
bool openSmartDevice(const char* path, bool legacyDriver, SmartHandle* device);
// Opens the physical drive with no access rights, which a normal user
// may do; enough for the storage stack's queries.
bool openStorageDevice(const char* path, SmartHandle* device);
// returned, when given, receives the number of bytes the driver wrote.
bool smartDeviceControl(SmartHandle device, uint32_t request, const void* input, unsigned inputSize,
                        void* output, unsigned outputSize, unsigned* returned = nullptr);
void closeSmartDevice(SmartHandle device);

enum class DevicePower { On, Off, Unknown };
// Whether the system has the drive spun down; asking does not wake it.
DevicePower smartDevicePower(SmartHandle device);
