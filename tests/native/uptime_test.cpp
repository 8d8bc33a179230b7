#include <gtest/gtest.h>

#include <string>

#include "format/format.h"
#include "metrics/uptime.h"
#include "metrics/uptime_native.h"

namespace {

constexpr uint32_t kWeekDayHourMinuteSecond = 604800 + 86400 + 3600 + 60 + 1;

std::string uptimeText(const char* format, uint32_t secs) {
    freeSegments();
    compileFormat(format, {"", "", ""});
    writeUptime(secs);
    std::string shown;
    for (int i = 0; i < formatEngine.segmentCount; ++i) shown += formatEngine.segments[i];
    freeSegments();
    return shown;
}

TEST(Uptime, EachFormSplitsTheSeconds) {
    EXPECT_EQ(uptimeText("%UW", kWeekDayHourMinuteSecond), "1w 1d 1h 1m");
    EXPECT_EQ(uptimeText("%UD", kWeekDayHourMinuteSecond), "8d 1h 1m");
    EXPECT_EQ(uptimeText("%UH", kWeekDayHourMinuteSecond), "193h 1m");
    EXPECT_EQ(uptimeText("%UH", 59), "0h 0m");
    // Only the first uptime token of the format gets a segment.
    EXPECT_EQ(uptimeText("%UD %UW", kWeekDayHourMinuteSecond), "8d 1h 1m ");
}

TEST(Uptime, CounterPreferredOverTickCount) {
    EXPECT_EQ(uptimeSeconds({5000, 3579545ll * kWeekDayHourMinuteSecond + 17, 3579545}),
              kWeekDayHourMinuteSecond);
    // Beyond 49.7 days only the counter is right; no counter means ticks.
    EXPECT_EQ(uptimeSeconds({61999, 0, 3579545}), 61u);
    EXPECT_EQ(uptimeSeconds({61999, 12345, 0}), 61u);

    nativeUptimeClock = {0, 10000000ll * 3661, 10000000};
    freeSegments();
    compileFormat("up %UH", {"", "", ""});
    updateUptime();
    EXPECT_STREQ(formatEngine.segments[slotOf(SlotUptimeHours)], "1h 1m");
    freeSegments();
}

}  // namespace
