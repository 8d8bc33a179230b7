#include "host/wintypes.h"
#include "metrics/uptime.h"

UptimeClock readUptimeClock() {
    UptimeClock clock;
    clock.tickMs = GetTickCount();
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    counter.QuadPart = 0;
    frequency.QuadPart = 0;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    clock.counter = counter.QuadPart;
    clock.frequency = frequency.QuadPart;
    return clock;
}
