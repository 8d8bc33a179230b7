// The native build's clock readings, for tests.
#pragma once

#include "metrics/clocks.h"

struct ClockStandIn {
    uint64_t universalFileTime;
    long daylightBias;  // minutes
    int biasReads;
    int universalReads;
};

extern ClockStandIn clockStandIn;
