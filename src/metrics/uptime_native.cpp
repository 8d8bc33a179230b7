#include "metrics/uptime_native.h"

UptimeClock nativeUptimeClock = {};

UptimeClock readUptimeClock() { return nativeUptimeClock; }
