// Native stand-in: the universal time from time(), a fixed one-hour bias.
#include "metrics/clocks.h"

namespace {

constexpr uint64_t kUnixEpochAsFileTimeSeconds = 11644473600ULL;

long usualDaylightBias() {
    return -60;
}

}  // namespace

void updateClocks() {
    const auto seconds = static_cast<uint64_t>(std::time(nullptr)) + kUnixEpochAsFileTimeSeconds;
    writeClocks(seconds * kFileTimeTicksPerSecond, usualDaylightBias, dateFromFileTime);
}
