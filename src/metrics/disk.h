#pragma once
// %DT? %DF? %DU? %DP? %DQ?

#include <cstdint>

#include "format/format.h"

// The disk tokens, in the order the updater serves them.
enum DiskKind { DiskFree, DiskTotal, DiskUsed, DiskFreePercent, DiskUsedPercent, DiskKindCount };
constexpr MetricSlot kDiskSlots[DiskKindCount] = {metricSlot("DF"), metricSlot("DT"), metricSlot("DU"),
                                                  metricSlot("DP"), metricSlot("DQ")};
// Segment index of a disk token for a drive letter, or -1.
int diskSlotOf(DiskKind kind, char letter);

// Platform side (disk_win.cpp; a stand-in natively). One volume query, as
// GetDiskFreeSpaceExA answers it: `root` is "C:\\", outputs the caller does
// not need are null. False when the volume cannot be read (no drive, no
// medium, access refused), without asking the user to insert a disk.
bool queryDiskSpace(const char* root, uint64_t* freeToCaller, uint64_t* total, uint64_t* totalFree);

// The platform's size notation ("1.50 GB"): StrFormatByteSize64A on
// Windows, a look-alike natively.
void formatByteSize(uint64_t bytes, char* text, int size);

// Hands the worker every disk token the format holds, walking the drive
// letters until the format's disk tokens are served. Until the first
// answer for this format they show "--".
void updateDiskSpace();
// Forgets which format its answers were for, as at start-up.
void resetDiskSpace();

// part * 100 / whole, truncated; 0 for an empty volume, at most 100.
int diskPercent(uint64_t part, uint64_t whole);
