#include "metrics/hostproc.h"

#include <climits>

#include "format/format.h"

namespace {

void writeKilobytes(int index, uint64_t bytes) {
    uint64_t kb = bytes >> 10;
    const unsigned shown = kb > UINT_MAX ? UINT_MAX : static_cast<unsigned>(kb);
    writeSegmentf(index, "%uKB", shown);
    writeValue(index, shown);
}

}  // namespace

void writeHostProcessMemory(const ProcessMemory& memory) {
    writeKilobytes(slotOf(SlotHostPhysical), memory.workingSet);
    writeKilobytes(slotOf(SlotHostPeakPhysical), memory.peakWorkingSet);
    writeKilobytes(slotOf(SlotHostSwap), memory.pagefileUsage);
    writeKilobytes(slotOf(SlotHostPeakSwap), memory.peakPagefileUsage);
}

void updateHostMemory() {
    ProcessMemory memory = {};
    // A failed query shows zeros rather than whatever the record held.
    if (!queryHostProcessMemory(memory)) memory = ProcessMemory{};
    writeHostProcessMemory(memory);
}

void updateGdiObjects() {
    const unsigned objects = queryHostGdiObjects();
    writeSegmentf(slotOf(SlotHostGdi), "%u", objects);
    writeValue(slotOf(SlotHostGdi), objects);
}
