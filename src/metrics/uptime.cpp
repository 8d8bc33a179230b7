#include "metrics/uptime.h"

#include "format/format.h"

uint32_t uptimeSeconds(const UptimeClock& clock) {
    if (clock.counter > 0 && clock.frequency > 0)
        return static_cast<uint32_t>(clock.counter / clock.frequency);
    return clock.tickMs / 1000;
}

void writeUptime(uint32_t secs) {
    uint32_t minutes = (secs / 60) % 60;
    // The compiler gives a segment to the first uptime token only.
    if (slotOf(SlotUptimeWeeks) != -1)
        writeSegmentf(slotOf(SlotUptimeWeeks), "%uw %ud %uh %um", secs / 604800,
                      (secs / 86400) % 7, (secs / 3600) % 24, minutes);
    else if (slotOf(SlotUptimeDays) != -1)
        writeSegmentf(slotOf(SlotUptimeDays), "%ud %uh %um", secs / 86400, (secs / 3600) % 24,
                      minutes);
    else if (slotOf(SlotUptimeHours) != -1)
        writeSegmentf(slotOf(SlotUptimeHours), "%uh %um", secs / 3600, minutes);
    // Whichever form has the segment, its number is the seconds.
    writeValue(slotOf(SlotUptimeWeeks), secs);
    writeValue(slotOf(SlotUptimeDays), secs);
    writeValue(slotOf(SlotUptimeHours), secs);
}

void updateUptime() { writeUptime(uptimeSeconds(readUptimeClock())); }
