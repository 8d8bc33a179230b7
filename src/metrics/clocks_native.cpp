// Native stand-ins: the readings a test sets; dates from the portable
// converter.
#include "metrics/clocks_native.h"

ClockStandIn clockStandIn;

uint64_t readUniversalFileTime() {
    ++clockStandIn.universalReads;
    return clockStandIn.universalFileTime;
}

long readDaylightBias() {
    ++clockStandIn.biasReads;
    return clockStandIn.daylightBias;
}

bool systemDateOf(uint64_t fileTime, CalendarDate* date) {
    return dateFromFileTime(fileTime, date);
}

static_assert(sizeof(std::time_t) == 8, "dates past 2038 need a 64-bit time_t");

// The stand-in's local zone is universal time.
bool readLocalTime(int64_t unixSeconds, std::tm* local) {
    const std::time_t seconds = unixSeconds;
    return gmtime_r(&seconds, local) != nullptr;
}
