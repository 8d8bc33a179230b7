// The real sampler and clocks against the running system.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "format/format.h"
#include "metrics/hostproc.h"
#include "metrics/system.h"
#include "metrics/uptime.h"

namespace {

TEST(LiveSystem, SamplerReadsPlausibleValues) {
    createSystemSampler();
    EXPECT_EQ(platformId, 2u);
    EXPECT_EQ(osClass, 2);

    SystemReadings first{};
    ASSERT_TRUE(readSystemSampler(first));
    EXPECT_EQ(first.sampleStatus, 0);
    EXPECT_EQ(first.cpuPercent, 0);  // no earlier sample to compare with
    Sleep(300);
    SystemReadings second{};
    ASSERT_TRUE(readSystemSampler(second));
    EXPECT_EQ(second.sampleStatus, 0);
    EXPECT_GE(shownCpuPercent(second.cpuPercent), 0);
    EXPECT_LE(shownCpuPercent(second.cpuPercent), 100);
    EXPECT_GE(second.physicalPercent, 0);
    EXPECT_LE(second.physicalPercent, 100);
    EXPECT_GT(second.memory.totalPhysical, 0u);
    EXPECT_LE(second.memory.availablePhysical, second.memory.totalPhysical);
    EXPECT_GT(second.processCount, 0);

    UptimeClock clock = readUptimeClock();
    EXPECT_GT(clock.frequency, 0);
    EXPECT_GT(uptimeSeconds(clock), 0u);
    ProcessMemory memory{};
    EXPECT_TRUE(queryHostProcessMemory(memory));
    EXPECT_GT(memory.workingSet, 0u);
    EXPECT_GE(memory.peakWorkingSet, memory.workingSet);

    freeSegments();
    compileFormat("%CP %RT %CN %UH %PM", {"", "", ""});
    updateSystemMetrics();
    updateUptime();
    updateHostProcessStats();
    EXPECT_NE(std::string(formatEngine.segments[slotOf(SlotCpuLoad)]), "cpu");
    EXPECT_NE(std::string(formatEngine.segments[slotOf(SlotPhysicalTotal)]), "0MB");
    EXPECT_NE(std::string(formatEngine.segments[slotOf(SlotProcessCount)]), "0");
    std::string uptime = formatEngine.segments[slotOf(SlotUptimeHours)];
    EXPECT_FALSE(uptime.empty());
    EXPECT_NE(uptime, "uptime");
    EXPECT_NE(std::string(formatEngine.segments[slotOf(SlotHostPhysical)]), "0KB");

    freeSegments();
    destroySystemSampler();
    EXPECT_FALSE(readSystemSampler(first));
}

}  // namespace
