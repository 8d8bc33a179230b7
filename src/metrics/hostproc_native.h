// The native build's readings of the shell process, for tests.
#pragma once

#include "metrics/hostproc.h"

struct HostProcessStandIn {
    ProcessMemory memory;  // handed out even when failing
    bool memoryOk;
    unsigned gdiObjects;
    int memoryQueries;
    int gdiQueries;
};

extern HostProcessStandIn hostProcessStandIn;
