#include "metrics/system_native.h"

SystemStandIn systemStandIn;

void probeOsVersion() { platformId = 2; }

void createSystemSampler() {
    probeOsVersion();
    systemStandIn.samplerPresent = chooseSampler(platformId, 5, osClass) != NoSampler;
}

void destroySystemSampler() { systemStandIn.samplerPresent = false; }

bool hasSystemSampler() { return systemStandIn.samplerPresent; }

bool sampleCpuLoad(int* percent, uint32_t shortestSpanMs) {
    SystemStandIn& s = systemStandIn;
    if (!s.samplerPresent) return false;
    ++s.cpuSamples;
    s.shortestSpanMs = shortestSpanMs;
    if (s.cpuFails) return false;
    *percent = s.cpuPercent;
    return true;
}

void forgetCpuSample() { ++systemStandIn.cpuForgets; }

bool readMemoryStatus(MemoryCounts* memory) {
    if (!systemStandIn.samplerPresent) return false;
    ++systemStandIn.memoryReads;
    *memory = systemStandIn.memory;
    return true;
}

bool readPowerStatus(PowerReading* power) {
    if (!systemStandIn.samplerPresent) return false;
    ++systemStandIn.powerReads;
    *power = systemStandIn.power;
    return true;
}

// Any thread, as on Windows, where no process at all is a list not read.
bool readProcessCount(int* count) {
    ++systemStandIn.processCounts;
    *count = systemStandIn.processCount;
    return *count > 0;
}
