#include "metrics/uptime_native.h"

UptimeStandIn uptimeStandIn;

UptimeClock readUptimeClock() {
    ++uptimeStandIn.reads;
    return uptimeStandIn.clock;
}
