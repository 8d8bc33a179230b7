// The real sampler, clocks and process counters against the running system.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "format/format.h"
#include "metrics/hostproc.h"
#include "metrics/system.h"
#include "metrics/uptime.h"

TEST(LiveSystem, ReadingsArePlausible) {
    createSystemSampler();
    EXPECT_EQ(platformId, 2u);
    SystemReadings first{};
    ASSERT_TRUE(readSystemSampler(first));
    EXPECT_EQ(first.sampleStatus, 0);
    EXPECT_EQ(first.cpuPercent, 0);  // nothing earlier to compare with
    Sleep(300);
    SystemReadings second{};
    ASSERT_TRUE(readSystemSampler(second));
    EXPECT_EQ(second.sampleStatus, 0);
    EXPECT_GE(second.physicalPercent, 0);
    EXPECT_LE(second.physicalPercent, 100);
    EXPECT_GT(second.memory.totalPhysical, 0u);
    EXPECT_GT(second.processCount, 0);

    destroySystemSampler();

    ProcessMemory memory{};
    EXPECT_TRUE(queryHostProcessMemory(memory));
    EXPECT_GT(memory.workingSet, 0u);

    EXPECT_GT(uptimeSeconds(readUptimeClock()), 0u);
    freeSegments();
    compileFormat("%UH", {"", "", ""});
    updateUptime();
    std::string uptime = formatEngine.segments[slotOf(SlotUptimeHours)];
    EXPECT_FALSE(uptime.empty());
    EXPECT_NE(uptime, "uptime");
    freeSegments();
}
