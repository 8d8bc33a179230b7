// Native stand-ins: no volumes, and a size formatter in the Windows style.
#include <cstdio>

#include "metrics/disk.h"

namespace {

bool noVolume(const char*, uint64_t*, uint64_t*, uint64_t*) {
    return false;
}

}  // namespace

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

void updateDiskSpace() {
    writeDiskTexts(noVolume);
}
