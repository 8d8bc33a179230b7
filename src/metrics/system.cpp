#include "metrics/system.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "format/format.h"
#include "settings/settings.h"
#include "worker/worker.h"

unsigned platformId = 0;
int osClass = 0;

namespace {

// The load of the last good sample; a failed sample leaves it in place.
int cpuPercent = 0;

// The last count answered, -1 before the first; and the format compile
// whose segment shows it.
int processCount = -1;
unsigned countedCompile = 0;

// Enough for any real system; stops a misbehaving enumerator from growing
// the buffer forever.
constexpr uint32_t kMaxProcessIds = 1u << 20;

// Truncates toward zero; NaN, infinite and out-of-range values give 0.
int truncated(double value) {
    if (!std::isfinite(value) || value <= INT_MIN || value >= INT_MAX) return 0;
    return static_cast<int>(value);
}

void writePercent(int index, int value) {
    if (settings.padPercentages)
        writeSegmentf(index, "%.2d%%", value);
    else
        writeSegmentf(index, "%d%%", value);
    writeValue(index, value);
}

uint64_t usedBytes(uint64_t total, uint64_t available) {
    return available < total ? total - available : 0;
}

unsigned megabytes(uint64_t bytes) {
    uint64_t mb = bytes >> 20;
    return mb > UINT_MAX ? UINT_MAX : static_cast<unsigned>(mb);
}

void writeMegabytes(int index, uint64_t bytes) {
    const unsigned mb = megabytes(bytes);
    writeSegmentf(index, "%uMB", mb);
    writeValue(index, mb);
}

}  // namespace

SamplerKind chooseSampler(unsigned platform, unsigned majorVersion, int& cls) {
    if (platform == 1) {
        cls = 0;
        return RegistryStats;
    }
    if (platform == 2) {
        cls = majorVersion > 4 ? 2 : 1;
        return NativeQuery;
    }
    return NoSampler;
}

int usedPercent(uint64_t available, uint64_t total) {
    if (total == 0) return 0;
    // Whatever a system reports, a share stays within 0..100.
    if (available >= total) return 0;
    return truncated(100.0 - static_cast<double>(available) * 100.0 / static_cast<double>(total));
}

double cpuLoad(int64_t previousIdle, int64_t idle, int64_t previousTime, int64_t time,
               unsigned processors) {
    if (previousIdle == 0 || processors == 0 || time == previousTime) return 0.0;
    // Differences in double: garbage counts must not overflow 64-bit maths.
    double idleSpan = static_cast<double>(idle) - static_cast<double>(previousIdle);
    double span = static_cast<double>(time) - static_cast<double>(previousTime);
    return 100.0 - idleSpan / span * 100.0 / processors;
}

bool advanceCpuLoad(CpuBaseline* baseline, int64_t idle, int64_t time, unsigned processors,
                    int64_t shortestSpan, double* load) {
    const bool first = baseline->idle == 0;
    if (!first && time >= baseline->time && time - baseline->time < shortestSpan) {
        return false;
    }
    const bool setBack = !first && time < baseline->time;
    if (!setBack) {
        *load = first ? 0.0 : cpuLoad(baseline->idle, idle, baseline->time, time, processors);
    }
    baseline->idle = idle;
    baseline->time = time;
    return !setBack;
}

int roundLoad(double load) {
    return truncated(load + 0.5);
}

int shownCpuPercent(int percent) {
    if (percent == 101) return 100;
    if (static_cast<unsigned>(percent) > 100) return 0;
    return percent;
}

int countProcessIds(ProcessEnumerator enumerate, void* context) {
    for (uint32_t capacity = 1024;; capacity *= 2) {
        uint32_t bytes = capacity * 4;
        void* buffer = std::malloc(bytes);
        if (!buffer) return 0;
        uint32_t used = 0;
        bool ok = enumerate(context, buffer, bytes, &used);
        std::free(buffer);
        if (!ok) return 0;
        if (used > bytes) used = bytes;
        // A full buffer may have cut the list short: try again, larger.
        if (used < bytes || capacity >= kMaxProcessIds) return static_cast<int>(used >> 2);
    }
}

uint32_t performanceRetryLength(uint32_t status, uint32_t needed, uint32_t tried) {
    constexpr uint32_t kLengthMismatch = 0xC0000004;  // STATUS_INFO_LENGTH_MISMATCH
    constexpr uint32_t kLargest = 64 * 1024;
    if (status != kLengthMismatch) return 0;
    // Without a length to go by, a generous one.
    const uint32_t length = needed != 0 ? needed : 4 * tried;
    // It must hold the idle time, the record's first 8 bytes.
    return length != tried && length >= 8 && length <= kLargest ? length : 0;
}

void updateCpuLoad() {
    if (!hasSystemSampler()) return;
    int percent = 0;
    // A failed sample, or one over too short a span, shows the last good one.
    if (sampleCpuLoad(&percent, timerPeriodMs(settings.mainInterval) / 2))
        cpuPercent = shownCpuPercent(percent);
    writePercent(slotOf(SlotCpuLoad), cpuPercent);
}

void restartCpuLoad() {
    cpuPercent = 0;
    forgetCpuSample();
}

void updateMemoryStatus() {
    MemoryCounts m;
    if (!readMemoryStatus(&m)) return;
    writePercent(slotOf(SlotPhysicalPercent), usedPercent(m.availablePhysical, m.totalPhysical));
    writePercent(slotOf(SlotSwapPercent), usedPercent(m.availablePageFile, m.totalPageFile));
    writeMegabytes(slotOf(SlotPhysicalFree), m.availablePhysical);
    writeMegabytes(slotOf(SlotPhysicalTotal), m.totalPhysical);
    writeMegabytes(slotOf(SlotPhysicalUsed), usedBytes(m.totalPhysical, m.availablePhysical));
    writeMegabytes(slotOf(SlotSwapFree), m.availablePageFile);
    writeMegabytes(slotOf(SlotSwapTotal), m.totalPageFile);
    writeMegabytes(slotOf(SlotSwapUsed), usedBytes(m.totalPageFile, m.availablePageFile));
}

void updatePowerStatus() {
    PowerReading power;
    if (!readPowerStatus(&power)) return;
    const int battery = slotOf(SlotBatteryPercent);
    writeSegmentf(battery, "%d%%", power.batteryPercent);
    if (power.batteryPercent != 255) {  // 255: the system does not know
        writeValue(battery, power.batteryPercent);
    } else {
        clearValue(battery);
    }
    const int lifetime = slotOf(SlotBatteryLifetime);
    if (power.acOnline) {
        writeSegment(lifetime, "AC Online");
        clearValue(lifetime);
    } else if (power.lifeTime != 0xFFFFFFFFu) {
        const uint32_t secs = power.lifeTime;
        writeSegmentf(lifetime, "%u:%02u", secs / 3600, (secs / 60) % 60);
        writeValue(lifetime, secs);
    }
}

namespace {

struct ProcessCountWork {
    int count;
    bool read;
};

void writeProcessCount() {
    const int index = slotOf(SlotProcessCount);
    writeSegmentf(index, "%d", processCount);
    writeValue(index, processCount);
    countedCompile = formatEngine.compiles;
}

void runProcessCount(Work* work) {
    ProcessCountWork& answer = workData<ProcessCountWork>(work);
    answer.read = readProcessCount(&answer.count);
}

// A failed count keeps the last one.
void applyProcessCount(const Work& work) {
    const ProcessCountWork& answer = workData<ProcessCountWork>(work);
    if (answer.read) {
        processCount = answer.count;
        writeProcessCount();
    }
}

const WorkKind kProcessCountWork = {runProcessCount, applyProcessCount};

}  // namespace

void updateProcessCount() {
    if (!hasSystemSampler()) return;
    if (processCount >= 0 && countedCompile != formatEngine.compiles) writeProcessCount();
    // Every request is the same: one still running is not asked again.
    Work work;
    clearWork(&work, kProcessCountWork);
    requestWork(work);
}

void resetSystemState() {
    cpuPercent = 0;
    processCount = -1;
    countedCompile = 0;
}
