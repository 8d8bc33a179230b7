#include <cstring>

#include "host/wintypes.h"
#include "metrics/hostproc.h"

#include <psapi.h>

bool queryHostProcessMemory(ProcessMemory& memory) {
    PROCESS_MEMORY_COUNTERS counters;
    std::memset(&counters, 0, sizeof counters);
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return false;
    memory.workingSet = counters.WorkingSetSize;
    memory.peakWorkingSet = counters.PeakWorkingSetSize;
    memory.pagefileUsage = counters.PagefileUsage;
    memory.peakPagefileUsage = counters.PeakPagefileUsage;
    return true;
}

unsigned queryHostGdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }
