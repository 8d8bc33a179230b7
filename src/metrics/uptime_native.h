// Control for the native stand-in of the uptime clocks, for tests.
#pragma once

#include "metrics/uptime.h"

extern UptimeClock nativeUptimeClock;
