#include <gtest/gtest.h>

#include <string>

#include "format/format.h"
#include "metrics/uptime.h"
#include "metrics/stand_ins.h"
#include "metrics/uptime_native.h"

namespace {

constexpr uint32_t kWeekDayHourMinuteSecond = 604800 + 86400 + 3600 + 60 + 1;

std::string uptimeShown(const char* format, UptimeClock clock) {
    freeSegments();
    compileFormat(format, {"", "", ""});
    uptimeStandIn.clock = clock;
    updateUptime();
    std::string shown;
    for (int i = 0; i < formatEngine.segmentCount; ++i) shown += formatEngine.segments[i];
    freeSegments();
    return shown;
}

class Uptime : public ::testing::Test {
protected:
    void SetUp() override { resetStandIns(); }
};

TEST_F(Uptime, FormsFromCounterOrTickCount) {
    const UptimeClock clock{5000, 3579545ll * kWeekDayHourMinuteSecond + 17, 3579545};
    EXPECT_EQ(uptimeShown("%UW", clock), "1w 1d 1h 1m");
    EXPECT_EQ(uptimeShown("%UD", clock), "8d 1h 1m");
    EXPECT_EQ(uptimeShown("%UH", clock), "193h 1m");
    EXPECT_EQ(uptimeShown("%UD %UW", clock), "8d 1h 1m ");  // first uptime token only
    // No high-resolution counter: the tick count.
    EXPECT_EQ(uptimeShown("%UH", {59999, 0, 3579545}), "0h 0m");
    EXPECT_EQ(uptimeShown("%UH", {3661000, 12345, 0}), "1h 1m");
}

}  // namespace
