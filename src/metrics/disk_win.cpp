#include <windows.h>
#include <shlwapi.h>

#include "metrics/disk.h"

bool queryDiskSpace(const char* root, uint64_t* freeToCaller, uint64_t* total, uint64_t* totalFree) {
    ULARGE_INTEGER available;
    ULARGE_INTEGER size;
    ULARGE_INTEGER free;
    // A drive without a medium must fail quietly, not ask the user.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL ok = GetDiskFreeSpaceExA(root, freeToCaller ? &available : nullptr,
                                        total ? &size : nullptr, totalFree ? &free : nullptr);
    SetErrorMode(previous);
    if (!ok) {
        return false;
    }
    if (freeToCaller) {
        *freeToCaller = available.QuadPart;
    }
    if (total) {
        *total = size.QuadPart;
    }
    if (totalFree) {
        *totalFree = free.QuadPart;
    }
    return true;
}

void formatByteSize(uint64_t bytes, char* text, int size) {
    if (size <= 0) {
        return;
    }
    text[0] = '\0';
    if (!StrFormatByteSize64A(static_cast<LONGLONG>(bytes), text, static_cast<UINT>(size))) {
        text[0] = '\0';
    }
}
