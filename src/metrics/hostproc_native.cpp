#include "metrics/hostproc_native.h"

HostProcessStandIn hostProcessStandIn;

bool queryHostProcessMemory(ProcessMemory& memory) {
    ++hostProcessStandIn.memoryQueries;
    memory = hostProcessStandIn.memory;
    return hostProcessStandIn.memoryOk;
}

unsigned queryHostGdiObjects() {
    ++hostProcessStandIn.gdiQueries;
    return hostProcessStandIn.gdiObjects;
}
