#include "metrics/hostproc.h"

#include <climits>

#include "format/format.h"

namespace {

void writeKilobytes(int index, uint64_t bytes) {
    uint64_t kb = bytes >> 10;
    writeSegmentf(index, "%uKB", kb > UINT_MAX ? UINT_MAX : static_cast<unsigned>(kb));
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
    writeSegmentf(slotOf(SlotHostGdi), "%u", queryHostGdiObjects());
}
