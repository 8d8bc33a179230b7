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
