#include "metrics/disk.h"
#include "format/text.h"

#include <cstdio>

#include "format/format.h"

int diskSlotOf(DiskKind kind, char letter) {
    if (kind < 0 || kind >= DiskKindCount) {
        return -1;
    }
    return driveSlotOf(kDiskSlots[kind], letter);
}

int diskPercent(uint64_t part, uint64_t whole) {
    if (whole == 0) {
        return 0;
    }
    // A driver may report more free space than the volume holds.
    if (part >= whole) {
        return 100;
    }
    return static_cast<int>(static_cast<double>(part) * 100.0 / static_cast<double>(whole));
}

namespace {

uint64_t usedSpace(uint64_t total, uint64_t totalFree) {
    return totalFree < total ? total - totalFree : 0;
}

void writeSize(int slot, uint64_t bytes) {
    char text[32];
    formatByteSize(bytes, text, sizeof text);
    writeSegment(slot, text);
}

void writeToken(DiskKind kind, int slot, const char* root) {
    uint64_t freeToCaller = 0;
    uint64_t total = 0;
    uint64_t totalFree = 0;
    bool ok = false;
    switch (kind) {
        case DiskFree:
            ok = queryDiskSpace(root, &freeToCaller, nullptr, nullptr);
            if (ok) {
                writeSize(slot, freeToCaller);
            }
            break;
        case DiskTotal:
            ok = queryDiskSpace(root, nullptr, &total, nullptr);
            if (ok) {
                writeSize(slot, total);
            }
            break;
        case DiskUsed:
            ok = queryDiskSpace(root, nullptr, &total, &totalFree);
            if (ok) {
                writeSize(slot, usedSpace(total, totalFree));
            }
            break;
        case DiskFreePercent:
            ok = queryDiskSpace(root, &freeToCaller, &total, nullptr);
            if (ok) {
                writeSegmentf(slot, "%d%%", diskPercent(freeToCaller, total));
            }
            break;
        case DiskUsedPercent:
            ok = queryDiskSpace(root, nullptr, &total, &totalFree);
            if (ok) {
                writeSegmentf(slot, "%d%%", diskPercent(usedSpace(total, totalFree), total));
            }
            break;
        default:
            return;
    }
    if (!ok) {
        writeSegment(slot, "--");
    }
}

}  // namespace

void updateDiskSpace() {
    int remaining = formatEngine.driveTokenCount;
    for (char letter = 'A'; letter <= 'Z' && remaining > 0; ++letter) {
        char root[8];
        formatText(root, sizeof root, "%c:\\", letter);
        for (int kind = 0; kind < DiskKindCount; ++kind) {
            const int slot = diskSlotOf(static_cast<DiskKind>(kind), letter);
            if (slot == -1) {
                continue;
            }
            writeToken(static_cast<DiskKind>(kind), slot, root);
            --remaining;
        }
    }
}
