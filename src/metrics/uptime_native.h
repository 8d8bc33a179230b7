// The native build's uptime clocks, for tests.
#pragma once

#include "metrics/uptime.h"

struct UptimeStandIn {
    UptimeClock clock;
    int reads;
};

extern UptimeStandIn uptimeStandIn;
