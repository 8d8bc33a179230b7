// The native build's system sampler, for tests: reports an NT-family
// system and hands out whatever reading the test puts in place.
#pragma once

#include "metrics/system.h"

struct SystemStandIn {
    bool samplerPresent;  // set by createSystemSampler
    bool cpuFails;
    int cpuPercent;       // as the sampler rounds it
    uint32_t shortestSpanMs;  // as the last sample was asked
    MemoryCounts memory;
    PowerReading power;
    int processCount;
    // Calls made
    int cpuSamples;
    int cpuForgets;
    int memoryReads;
    int powerReads;
    int processCounts;
};

extern SystemStandIn systemStandIn;
