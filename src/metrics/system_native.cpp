#include "metrics/system_native.h"

SystemStandIn systemStandIn;

void probeOsVersion() { platformId = 2; }

void createSystemSampler() {
    probeOsVersion();
    systemStandIn.samplerPresent = chooseSampler(platformId, 5, osClass) != NoSampler;
}

void destroySystemSampler() { systemStandIn.samplerPresent = false; }

bool readSystemSampler(SystemReadings& readings) {
    if (!systemStandIn.samplerPresent) return false;
    ++systemStandIn.reads;
    readings = systemStandIn.readings;
    return true;
}
