#pragma once
// %PM %PN %PS %PT %PG: memory and GDI use of the shell process.
#include <cstdint>

#include "format/tokens.h"

constexpr MetricSlot SlotHostPhysical = metricSlot("PM");
constexpr MetricSlot SlotHostPeakPhysical = metricSlot("PN");
constexpr MetricSlot SlotHostSwap = metricSlot("PS");
constexpr MetricSlot SlotHostPeakSwap = metricSlot("PT");
constexpr MetricSlot SlotHostGdi = metricSlot("PG");

// %PM %PN %PS %PT from one memory query; %PG from its own.
void updateHostMemory();
void updateGdiObjects();

// Memory counters of the shell process, in bytes, at full width.
struct ProcessMemory {
    uint64_t workingSet;
    uint64_t peakWorkingSet;
    uint64_t pagefileUsage;
    uint64_t peakPagefileUsage;
};

// Platform side (hostproc_win.cpp; a stand-in natively).
// False when the query failed; `memory` is then not to be trusted.
bool queryHostProcessMemory(ProcessMemory& memory);
unsigned queryHostGdiObjects();

// Writes %PM %PN %PS %PT from the counters.
void writeHostProcessMemory(const ProcessMemory& memory);
