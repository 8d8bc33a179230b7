#include <windows.h>
#include <shlwapi.h>

#include "host/lookup_win.h"
#include "metrics/disk.h"

namespace {

typedef BOOL(WINAPI* SetThreadErrorModeFn)(DWORD, DWORD*);
typedef UINT(WINAPI* GetErrorModeFn)();

// XP lacks GetErrorMode: there, reading the process's mode means setting
// one for a moment, and the quietest is the harmless one.
constexpr UINT kQuietest = SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX;

// Sets the process's mode to `wanted(mode in force)`; returns the mode
// that was in force.
template <typename Choice>
UINT changeProcessErrorMode(Choice wanted) {
    const auto getMode =
        systemFunction<GetErrorModeFn>(GetModuleHandleA("kernel32.dll"), "GetErrorMode");
    const UINT now = getMode != nullptr ? getMode() : SetErrorMode(kQuietest);
    const UINT next = wanted(now);
    if (getMode == nullptr || next != now) {
        SetErrorMode(next);
    }
    return now;
}

// A drive without a medium must fail quietly, not ask the user. Windows 7
// and later can say so for this thread alone. Before them only the whole
// process's mode can: the flag is added to the shell's own flags, and the
// mode put back only while it is still the one set here, so a change the
// shell (or another query) made meanwhile stays.
class QuietDriveErrors {
public:
    QuietDriveErrors() : processWide_(false), previous_(0), ours_(0) {
        setThreadMode_ = systemFunction<SetThreadErrorModeFn>(GetModuleHandleA("kernel32.dll"),
                                                              "SetThreadErrorMode");
        if (setThreadMode_ != nullptr && setThreadMode_(SEM_FAILCRITICALERRORS, &previous_)) {
            return;
        }
        setThreadMode_ = nullptr;
        previous_ = changeProcessErrorMode([](UINT now) { return now | SEM_FAILCRITICALERRORS; });
        ours_ = previous_ | SEM_FAILCRITICALERRORS;
        processWide_ = ours_ != previous_;
    }
    ~QuietDriveErrors() {
        if (setThreadMode_ != nullptr) {
            setThreadMode_(previous_, nullptr);
        } else if (processWide_) {
            const UINT ours = ours_;
            const UINT previous = previous_;
            changeProcessErrorMode([ours, previous](UINT now) { return now == ours ? previous : now; });
        }
    }
    QuietDriveErrors(const QuietDriveErrors&) = delete;
    QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

private:
    SetThreadErrorModeFn setThreadMode_;
    bool processWide_;  // the flag was added to the process's mode
    DWORD previous_;
    UINT ours_;
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
