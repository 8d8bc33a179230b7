// Controls for the native stand-in of the sampler, so tests can drive
// updateSystemMetrics with any reading.
#pragma once

#include "metrics/system.h"

extern bool nativeSamplerPresent;
extern SystemReadings nativeSystemReadings;
