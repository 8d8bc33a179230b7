#include <cstring>

#include "host/lookup_win.h"
#include "host/wintypes.h"
#include "metrics/hostproc.h"

#include <psapi.h>

namespace {

typedef BOOL(WINAPI* ProcessMemoryInfoFn)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);

// Found at run time: kernel32 has it only from Windows 7 on, and a static
// import of it would keep the DLL from loading on XP and Vista. There it
// is psapi's, which the system sampler keeps loaded while the plugin runs.
ProcessMemoryInfoFn processMemoryQuery() {
    ProcessMemoryInfoFn query = systemFunction<ProcessMemoryInfoFn>(
        GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo");
    return query ? query
                 : systemFunction<ProcessMemoryInfoFn>(GetModuleHandleA("psapi.dll"),
                                                       "GetProcessMemoryInfo");
}

}  // namespace

bool queryHostProcessMemory(ProcessMemory& memory) {
    ProcessMemoryInfoFn query = processMemoryQuery();
    PROCESS_MEMORY_COUNTERS counters;
    std::memset(&counters, 0, sizeof counters);
    counters.cb = sizeof counters;
    if (!query || !query(GetCurrentProcess(), &counters, sizeof counters)) return false;
    memory.workingSet = counters.WorkingSetSize;
    memory.peakWorkingSet = counters.PeakWorkingSetSize;
    memory.pagefileUsage = counters.PagefileUsage;
    memory.peakPagefileUsage = counters.PeakPagefileUsage;
    return true;
}

unsigned queryHostGdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }
