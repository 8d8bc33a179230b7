// CPU load, physical and swap memory, battery and process count
// (%CP %RP %RT %RF %RU %SP %ST %SF %SU %BP %BL %CN).
#pragma once

#include <cstdint>

#include "format/tokens.h"

constexpr MetricSlot SlotCpuLoad = metricSlot("CP");
constexpr MetricSlot SlotProcessCount = metricSlot("CN");
constexpr MetricSlot SlotPhysicalPercent = metricSlot("RP");
constexpr MetricSlot SlotPhysicalTotal = metricSlot("RT");
constexpr MetricSlot SlotPhysicalFree = metricSlot("RF");
constexpr MetricSlot SlotPhysicalUsed = metricSlot("RU");
constexpr MetricSlot SlotSwapPercent = metricSlot("SP");
constexpr MetricSlot SlotSwapTotal = metricSlot("ST");
constexpr MetricSlot SlotSwapFree = metricSlot("SF");
constexpr MetricSlot SlotSwapUsed = metricSlot("SU");
constexpr MetricSlot SlotBatteryPercent = metricSlot("BP");
constexpr MetricSlot SlotBatteryLifetime = metricSlot("BL");

extern unsigned platformId;  // 1 Windows 9x family, 2 NT family
extern int osClass;          // 0 9x, 1 NT <= 4, 2 NT > 4

void probeOsVersion();
// probeOsVersion, then the sampler variant for the platform.
void createSystemSampler();
void destroySystemSampler();

// The four queries of the group, each writing only its own tokens; the
// main timer runs each only while the format shows one of them.
void updateCpuLoad();
void updateMemoryStatus();
void updatePowerStatus();
// Hands the worker the process count: the list is copied out of the
// kernel (under wine, asked of its server), too slow for the shell's
// thread. Until the first answer %CN shows its compiled text; a new
// format shows the last count until the next one.
void updateProcessCount();
// The next CPU reading is a first one, as at start-up.
void restartCpuLoad();

// ---- Portable logic, shared by the sampler variants and the writers ----

enum SamplerKind { NoSampler, RegistryStats, NativeQuery };

// Sampler variant for a probed system; sets `cls` for the two known
// platforms and leaves it alone otherwise.
SamplerKind chooseSampler(unsigned platform, unsigned majorVersion, int& cls);

// Byte counts of the memory status, 64-bit so machines beyond 4 GB do not
// saturate.
struct MemoryCounts {
    uint64_t totalPhysical;
    uint64_t availablePhysical;
    uint64_t totalPageFile;
    uint64_t availablePageFile;
};

struct PowerReading {
    int batteryPercent;  // 255 when the system does not know; 0 after a failed query
    bool acOnline;
    uint32_t lifeTime;   // seconds, 0xFFFFFFFF unknown
};

// Percent in use from available and total, truncated; 0 for a zero total
// or when more is available than there is.
int usedPercent(uint64_t available, uint64_t total);

// Load in percent (before rounding) from two idle/system-time readings in
// 100-ns units. The idle time is summed over all processors. 0 for the
// first reading (previous idle time 0), no processors or no elapsed time.
double cpuLoad(int64_t previousIdle, int64_t idle, int64_t previousTime, int64_t time,
               unsigned processors);
// The NT sampler's previous sample: the summed idle time and the system
// time, 100-ns units; idle 0 before the first.
struct CpuBaseline {
    int64_t idle;
    int64_t time;
};
// Feeds one sample. True with the load since the baseline (0 for the
// first sample), the sample becoming the baseline; false, with no load,
// when less than `shortestSpan` (100-ns units) has passed since the
// baseline, which stays for the next tick: a refresh right after a tick
// (a reload, a reconfigure) would show the load of a few milliseconds,
// often 100%. A time before the baseline's (the clock set back) gives no
// load either, and the sample becomes the baseline.
bool advanceCpuLoad(CpuBaseline* baseline, int64_t idle, int64_t time, unsigned processors,
                    int64_t shortestSpan, double* load);
// Rounds half up and truncates toward zero; NaN, infinite or out-of-range
// values give 0.
int roundLoad(double load);
// The percentage shown for a sampled load: 101 (counter noise just past
// full load) shows as 100, anything else outside 0..100 as 0.
int shownCpuPercent(int percent);

// Counts process ids through `enumerate`, doubling the id buffer until a
// call leaves it not full. `enumerate` has the contract of EnumProcesses:
// fill `buffer` (`bytes` long) with 32-bit ids and report the bytes used.
typedef bool (*ProcessEnumerator)(void* context, void* buffer, uint32_t bytes,
                                  uint32_t* bytesUsed);
int countProcessIds(ProcessEnumerator enumerate, void* context);

// Length for a second try of the performance query after the first one,
// of `tried` bytes, gave `status` and reported `needed` bytes; 0 when a
// second try cannot help. Some Windows versions refuse any length but
// their own record's.
uint32_t performanceRetryLength(uint32_t status, uint32_t needed, uint32_t tried);

// Platform side (system_win.cpp; a stand-in natively). Without a sampler
// for the platform nothing is read: each reader is false and writes nothing.
bool hasSystemSampler();
// The rounded load since the previous sample, 0 for the first one; false
// when the query failed or less than `shortestSpanMs` passed since the
// previous sample (the 9x kernel's own figure has no span), which the
// next sample then measures from.
bool sampleCpuLoad(int* percent, uint32_t shortestSpanMs);
// The sampler forgets its previous sample.
void forgetCpuSample();
bool readMemoryStatus(MemoryCounts* memory);
bool readPowerStatus(PowerReading* power);
// Any thread, the sampler not needed: false when the list cannot be read.
bool readProcessCount(int* count);

// Forgets the last good readings, as at start-up.
void resetSystemState();
