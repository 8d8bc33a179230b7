// The only place the temperature query touches the disk driver.
#include <windows.h>
#include <winioctl.h>
#include <nvme.h>

#include <cstddef>

#include "host/lookup_win.h"
#include "smart/smart_device.h"

// Our portable declarations against the system's, where it has them.
static_assert(kSmartGetVersion == SMART_GET_VERSION && kSmartSendDriveCommand == SMART_SEND_DRIVE_COMMAND &&
                  kSmartReceiveDriveData == SMART_RCV_DRIVE_DATA,
              "S.M.A.R.T. request codes");
static_assert(sizeof(SmartVersionParams) == sizeof(GETVERSIONINPARAMS), "GETVERSIONINPARAMS");
static_assert(sizeof(SmartCommandParams) == sizeof(SENDCMDINPARAMS), "SENDCMDINPARAMS");
static_assert(sizeof(SmartCommandResult) == sizeof(SENDCMDOUTPARAMS), "SENDCMDOUTPARAMS");
static_assert(kStorageQueryProperty == IOCTL_STORAGE_QUERY_PROPERTY, "IOCTL_STORAGE_QUERY_PROPERTY");
static_assert(kStorageDeviceTemperatureProperty == StorageDeviceTemperatureProperty &&
                  kStorageDeviceProtocolSpecificProperty == StorageDeviceProtocolSpecificProperty &&
                  kStorageStandardQuery == PropertyStandardQuery,
              "storage property ids");
static_assert(kProtocolTypeNvme == ProtocolTypeNvme && kNvmeDataTypeLogPage == NVMeDataTypeLogPage &&
                  kNvmeHealthLogPage == NVME_LOG_PAGE_HEALTH_INFO,
              "NVMe log request");
static_assert(sizeof(StoragePropertyQuery) == sizeof(STORAGE_PROPERTY_QUERY) &&
                  offsetof(StorageProtocolBuffer, protocolData) ==
                      offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters),
              "STORAGE_PROPERTY_QUERY");
static_assert(sizeof(StorageProtocolSpecificData) == sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA) &&
                  offsetof(StorageProtocolBuffer, log) == sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR),
              "STORAGE_PROTOCOL_DATA_DESCRIPTOR");
static_assert(sizeof(NVME_HEALTH_INFO_LOG) == kNvmeLogSize &&
                  offsetof(NVME_HEALTH_INFO_LOG, Temperature) == kNvmeCompositeTemperature &&
                  offsetof(NVME_HEALTH_INFO_LOG, AvailableSpare) == kNvmeAvailableSpare &&
                  offsetof(NVME_HEALTH_INFO_LOG, AvailableSpareThreshold) == kNvmeAvailableSpareThreshold &&
                  offsetof(NVME_HEALTH_INFO_LOG, PercentageUsed) == kNvmePercentageUsed &&
                  offsetof(NVME_HEALTH_INFO_LOG, DataUnitRead) == kNvmeDataUnitsRead &&
                  offsetof(NVME_HEALTH_INFO_LOG, DataUnitWritten) == kNvmeDataUnitsWritten &&
                  offsetof(NVME_HEALTH_INFO_LOG, PowerOnHours) == kNvmePowerOnHours &&
                  offsetof(NVME_HEALTH_INFO_LOG, UnsafeShutdowns) == kNvmeUnsafeShutdowns &&
                  offsetof(NVME_HEALTH_INFO_LOG, MediaErrors) == kNvmeMediaErrors &&
                  offsetof(NVME_HEALTH_INFO_LOG, TemperatureSensor1) == kNvmeTemperatureSensors,
              "NVMe health log");

bool openSmartDevice(const char* path, bool legacyDriver, SmartHandle* device) {
    HANDLE handle;
    if (legacyDriver)
        handle = CreateFileA(path, 0, 0, nullptr, CREATE_NEW, 0, nullptr);
    else
        handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    *device = handle;
    return true;
}

bool openStorageDevice(const char* path, SmartHandle* device) {
    HANDLE handle =
        CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    *device = handle;
    return true;
}

bool smartDeviceControl(SmartHandle device, uint32_t request, const void* input, unsigned inputSize,
                        void* output, unsigned outputSize, unsigned* returned) {
    DWORD written = 0;
    const bool ok = DeviceIoControl(static_cast<HANDLE>(device), request, const_cast<void*>(input), inputSize,
                                    output, outputSize, &written, nullptr) != FALSE;
    if (returned) *returned = ok && written <= outputSize ? written : 0;
    return ok;
}

void closeSmartDevice(SmartHandle device) {
    CloseHandle(static_cast<HANDLE>(device));
}

DevicePower smartDevicePower(SmartHandle device) {
    // Looked up on every call: keeps this free of shared state, and the
    // query runs once per interval at most.
    typedef BOOL(WINAPI * GetDevicePowerStateFn)(HANDLE, BOOL*);
    const auto getPowerState =
        systemFunction<GetDevicePowerStateFn>(GetModuleHandleA("kernel32.dll"), "GetDevicePowerState");
    if (!getPowerState) return DevicePower::Unknown;
    BOOL on = TRUE;  // kept where a system says yes without saying whether
    if (!getPowerState(static_cast<HANDLE>(device), &on)) return DevicePower::Unknown;
    return on ? DevicePower::On : DevicePower::Off;
}
