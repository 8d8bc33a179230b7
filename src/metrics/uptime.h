#pragma once
// %UW %UD %UH
#include <cstdint>

#include "format/tokens.h"

constexpr MetricSlot SlotUptimeWeeks = metricSlot("UW");
constexpr MetricSlot SlotUptimeDays = metricSlot("UD");
constexpr MetricSlot SlotUptimeHours = metricSlot("UH");

void updateUptime();

// The raw clocks uptime is taken from.
struct UptimeClock {
    uint32_t tickMs;     // GetTickCount
    int64_t counter;     // QueryPerformanceCounter
    int64_t frequency;   // QueryPerformanceFrequency
};

// Platform side (uptime_win.cpp; a stand-in natively).
UptimeClock readUptimeClock();

// Whole seconds: from the performance counter when it works (the tick
// count wraps after 49.7 days), else from the tick count.
uint32_t uptimeSeconds(const UptimeClock& clock);
// Writes `secs` into the first uptime slot the format uses.
void writeUptime(uint32_t secs);
