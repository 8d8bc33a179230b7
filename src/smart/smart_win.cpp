// The only place the S.M.A.R.T. query touches the disk driver.
#include <windows.h>

#include "smart/smart_device.h"

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

bool smartDeviceControl(SmartHandle device, uint32_t request, const void* input, unsigned inputSize,
                        void* output, unsigned outputSize) {
    DWORD returned = 0;
    return DeviceIoControl(static_cast<HANDLE>(device), request, const_cast<void*>(input), inputSize, output,
                           outputSize, &returned, nullptr) != FALSE;
}

void closeSmartDevice(SmartHandle device) {
    CloseHandle(static_cast<HANDLE>(device));
}
