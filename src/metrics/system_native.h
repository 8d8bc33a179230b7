// The native build's system sampler, for tests: reports an NT-family
// system and hands out whatever reading the test puts in place.
#pragma once

#include "metrics/system.h"

struct SystemStandIn {
    bool samplerPresent;  // set by createSystemSampler
    SystemReadings readings;
    int reads;
};

extern SystemStandIn systemStandIn;
