#include <windows.h>
#include <shlwapi.h>

#include "host/lookup_win.h"
#include "metrics/disk.h"

namespace {

typedef BOOL(WINAPI* SetThreadErrorModeFn)(DWORD, DWORD*);

// A drive without a medium must fail quietly, not ask the user. Windows 7
// and later can say so for this thread alone; before them only the whole
// process's mode can, and that is put back at once.
class QuietDriveErrors {
public:
    QuietDriveErrors() {
        setThreadMode_ = systemFunction<SetThreadErrorModeFn>(GetModuleHandleA("kernel32.dll"),
                                                              "SetThreadErrorMode");
        if (setThreadMode_ == nullptr || !setThreadMode_(SEM_FAILCRITICALERRORS, &previous_)) {
            setThreadMode_ = nullptr;
            previous_ = SetErrorMode(SEM_FAILCRITICALERRORS);
        }
    }
    ~QuietDriveErrors() {
        if (setThreadMode_ != nullptr) {
            setThreadMode_(previous_, nullptr);
        } else {
            SetErrorMode(previous_);
        }
    }
    QuietDriveErrors(const QuietDriveErrors&) = delete;
    QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

private:
    SetThreadErrorModeFn setThreadMode_;
    DWORD previous_;
};

}  // namespace

bool queryDiskSpace(const char* root, uint64_t* freeToCaller, uint64_t* total, uint64_t* totalFree) {
    ULARGE_INTEGER available;
    ULARGE_INTEGER size;
    ULARGE_INTEGER free;
    BOOL ok;
    {
        QuietDriveErrors quiet;
        ok = GetDiskFreeSpaceExA(root, freeToCaller ? &available : nullptr, total ? &size : nullptr,
                                 totalFree ? &free : nullptr);
    }
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
