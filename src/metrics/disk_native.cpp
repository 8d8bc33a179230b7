// Native stand-ins: the volumes a test sets, and a size formatter in the
// Windows style.
#include <cstdio>

#include "metrics/disk_native.h"

DiskStandIn diskStandIn;

bool queryDiskSpace(const char* root, uint64_t* freeToCaller, uint64_t* total, uint64_t* totalFree) {
    DiskStandIn& d = diskStandIn;
    if (d.queries < static_cast<int>(sizeof d.queried) - 1) {
        d.queried[d.queries] = root[0];
    }
    ++d.queries;
    if (d.during) {
        d.during(root[0]);
    }
    if (root[0] < 'A' || root[0] > 'Z' || !d.volumes[root[0] - 'A'].present) {
        return false;
    }
    const DiskVolume& volume = d.volumes[root[0] - 'A'];
    if (freeToCaller) *freeToCaller = volume.freeToCaller;
    if (total) *total = volume.total;
    if (totalFree) *totalFree = volume.totalFree;
    return true;
}

void formatByteSize(uint64_t bytes, char* text, int size) {
    if (size <= 0) {
        return;
    }
    const auto capacity = static_cast<size_t>(size);
    if (bytes < 1024) {
        std::snprintf(text, capacity, "%u bytes", static_cast<unsigned>(bytes));
        return;
    }
    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    double value = static_cast<double>(bytes) / 1024.0;
    int unit = 0;
    while (value >= 1000.0 && unit < 5) {
        value /= 1024.0;
        ++unit;
    }
    // Three significant digits, as the shell shows them.
    const int decimals = value < 10.0 ? 2 : (value < 100.0 ? 1 : 0);
    std::snprintf(text, capacity, "%.*f %s", decimals, value, units[unit]);
}
