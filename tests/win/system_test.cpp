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
    int load = -1;
    ASSERT_TRUE(sampleCpuLoad(&load, 0));
    EXPECT_EQ(load, 0);  // nothing earlier to compare with
    Sleep(300);
    EXPECT_FALSE(sampleCpuLoad(&load, 60000));  // too short a span: nothing new
    ASSERT_TRUE(sampleCpuLoad(&load, 250));
    EXPECT_GE(load, 0);
    EXPECT_LE(load, 101);
    MemoryCounts counts{};
    ASSERT_TRUE(readMemoryStatus(&counts));
    EXPECT_GT(counts.totalPhysical, 0u);
    EXPECT_LE(counts.availablePhysical, counts.totalPhysical);
    int processes = 0;
    ASSERT_TRUE(readProcessCount(&processes));
    EXPECT_GT(processes, 0);
    forgetCpuSample();
    ASSERT_TRUE(sampleCpuLoad(&load, 0));
    EXPECT_EQ(load, 0);  // a first sample again

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
