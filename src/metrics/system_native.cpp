// Native stand-in for the Windows sampler: reports an NT-family system and
// hands out whatever reading the tests put in place.
#include "metrics/system_native.h"

bool nativeSamplerPresent = false;
SystemReadings nativeSystemReadings = {};

void probeOsVersion() { platformId = 2; }

void createSystemSampler() {
    probeOsVersion();
    nativeSamplerPresent = chooseSampler(platformId, 5, osClass) != NoSampler;
}

void destroySystemSampler() { nativeSamplerPresent = false; }

bool readSystemSampler(SystemReadings& readings) {
    if (!nativeSamplerPresent) return false;
    readings = nativeSystemReadings;
    return true;
}
