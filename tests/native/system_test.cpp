#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "format/format.h"
#include "metrics/system.h"
#include "metrics/stand_ins.h"
#include "metrics/system_native.h"
#include "plugin/frame.h"
#include "settings/settings.h"

namespace {

constexpr uint64_t kGiB = 1ull << 30;

class SystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetStandIns();
        settings.padPercentages = false;
        freeSegments();
        compileFormat("%CP|%RP|%RF|%RT|%RU|%SP|%SU|%BP|%BL|%CN", {"", "", ""});
        createSystemSampler();
        systemStandIn.memory = {4 * kGiB, 1 * kGiB, 8 * kGiB, 6 * kGiB};
        systemStandIn.power.lifeTime = 0xFFFFFFFFu;
    }
    void TearDown() override {
        freeSegments();
        destroySystemSampler();
    }
    static std::string text(MetricSlot slot) { return formatEngine.segments[slotOf(slot)]; }
};

TEST_F(SystemTest, MemoryTextsUseFullWidthCounts) {
    updateMemoryStatus();
    EXPECT_EQ(text(SlotPhysicalPercent), "75%");
    EXPECT_EQ(text(SlotPhysicalFree), "1024MB");
    EXPECT_EQ(text(SlotPhysicalTotal), "4096MB");
    EXPECT_EQ(text(SlotPhysicalUsed), "3072MB");
    EXPECT_EQ(text(SlotSwapUsed), "2048MB");

    // Beyond 4 GB a 32-bit count would saturate.
    systemStandIn.memory = {16 * kGiB, 5 * kGiB, 0, 0};
    updateMemoryStatus();
    EXPECT_EQ(text(SlotPhysicalPercent), "68%");  // 68.75 truncated
    EXPECT_EQ(text(SlotPhysicalTotal), "16384MB");
    EXPECT_EQ(text(SlotPhysicalUsed), "11264MB");
    EXPECT_EQ(usedPercent(5, 0), 0);

    // A system (or an emulator) reporting more available than total.
    systemStandIn.memory = {1 * kGiB, 3 * kGiB, 0, 0};
    updateMemoryStatus();
    EXPECT_EQ(text(SlotPhysicalPercent), "0%");
    EXPECT_EQ(text(SlotPhysicalUsed), "0MB");
}

TEST_F(SystemTest, LoadFromIdleTimeAndItsRangeCheck) {
    // Two processors, one second elapsed, one processor-second idle: 50 %.
    EXPECT_EQ(roundLoad(cpuLoad(1000, 10001000, 5000, 10005000, 2)), 50);
    EXPECT_EQ(cpuLoad(0, 10001000, 5000, 10005000, 2), 0.0);  // first sample
    EXPECT_EQ(cpuLoad(1000, 10001000, 5000, 10005000, 0), 0.0);
    EXPECT_EQ(cpuLoad(1000, 10001000, 5000, 5000, 2), 0.0);

    auto shown = [](double load) { return shownCpuPercent(roundLoad(load)); };
    EXPECT_EQ(shown(100.4), 100);
    EXPECT_EQ(shown(100.6), 100);
    EXPECT_EQ(shown(150.0), 0);
    EXPECT_EQ(shown(-3.0), 0);
    EXPECT_EQ(shown(std::nan("")), 0);
    EXPECT_EQ(shown(1e300), 0);

    // The 9x kernel's own percentage goes through the same check.
    systemStandIn.cpuPercent = 101;
    updateCpuLoad();
    EXPECT_EQ(text(SlotCpuLoad), "100%");
    systemStandIn.cpuPercent = static_cast<int>(0xFFFFFFFFu);
    updateCpuLoad();
    EXPECT_EQ(text(SlotCpuLoad), "0%");
}

TEST_F(SystemTest, ALoadOverTooShortASpanKeepsTheFigureAndTheOlderBaseline) {
    // Two processors; 100-ns units, so a second is 10,000,000.
    constexpr int64_t kSecond = 10000000, kHalf = kSecond / 2;
    CpuBaseline baseline{0, 0};
    double load = -1;
    struct Step {
        int64_t idle, time;
        bool shown;
        double load;
        CpuBaseline after;
    } const steps[] = {
        {4 * kSecond, 100 * kSecond, true, 0.0, {4 * kSecond, 100 * kSecond}},  // the first: 0
        {5 * kSecond, 101 * kSecond, true, 50.0, {5 * kSecond, 101 * kSecond}},
        // A refresh 10 ms after the tick: its load would be noise (here 100%).
        {5 * kSecond, 101 * kSecond + 100000, false, -1, {5 * kSecond, 101 * kSecond}},
        // The next tick measures from the older baseline, across both.
        {6 * kSecond + kHalf, 102 * kSecond, true, 25.0, {6 * kSecond + kHalf, 102 * kSecond}},
        // The clock set back: no load, and this sample is the new baseline.
        {7 * kSecond, 50 * kSecond, false, -1, {7 * kSecond, 50 * kSecond}},
        {8 * kSecond, 51 * kSecond, true, 50.0, {8 * kSecond, 51 * kSecond}},
    };
    for (const Step& step : steps) {
        load = -1;
        EXPECT_EQ(advanceCpuLoad(&baseline, step.idle, step.time, 2, kHalf, &load), step.shown)
            << step.time;
        EXPECT_EQ(load, step.load) << step.time;
        EXPECT_EQ(baseline.idle, step.after.idle) << step.time;
        EXPECT_EQ(baseline.time, step.after.time) << step.time;
    }
    // The updater asks for half the main interval.
    settings.mainInterval = 10;
    updateCpuLoad();
    EXPECT_EQ(systemStandIn.shortestSpanMs, 5000u);
}

TEST_F(SystemTest, FailedSampleKeepsThePreviousLoad) {
    systemStandIn.cpuPercent = 37;
    updateCpuLoad();
    systemStandIn.cpuFails = true;
    systemStandIn.cpuPercent = 90;
    updateCpuLoad();
    EXPECT_EQ(text(SlotCpuLoad), "37%");

    // A refused length is tried once more, at the length asked for, when
    // that can hold the idle time; other failures are final.
    constexpr uint32_t kMismatch = 0xC0000004;
    EXPECT_EQ(performanceRetryLength(kMismatch, 344, 1024), 344u);
    EXPECT_EQ(performanceRetryLength(kMismatch, 2048, 1024), 2048u);
    EXPECT_EQ(performanceRetryLength(kMismatch, 0, 1024), 4096u);
    EXPECT_EQ(performanceRetryLength(kMismatch, 1024, 1024), 0u);
    EXPECT_EQ(performanceRetryLength(kMismatch, 4, 1024), 0u);
    EXPECT_EQ(performanceRetryLength(kMismatch, 1u << 30, 1024), 0u);
    EXPECT_EQ(performanceRetryLength(0xC0000022, 344, 1024), 0u);
}

TEST_F(SystemTest, PaddingAndBatteryTexts) {
    settings.padPercentages = true;
    systemStandIn.cpuPercent = 7;
    systemStandIn.memory = {kGiB, 0, kGiB, kGiB};
    systemStandIn.power = {7, false, 5400};
    updateCpuLoad();
    updateMemoryStatus();
    updatePowerStatus();
    EXPECT_EQ(text(SlotCpuLoad), "07%");
    EXPECT_EQ(text(SlotPhysicalPercent), "100%");
    EXPECT_EQ(text(SlotBatteryPercent), "7%");  // never padded
    EXPECT_EQ(text(SlotBatteryLifetime), "1:30");

    systemStandIn.power.lifeTime = 59;
    updatePowerStatus();
    EXPECT_EQ(text(SlotBatteryLifetime), "0:00");
    systemStandIn.power.lifeTime = 0xFFFFFFFFu;  // unknown: keep what was shown
    updatePowerStatus();
    EXPECT_EQ(text(SlotBatteryLifetime), "0:00");
    systemStandIn.power.acOnline = true;
    updatePowerStatus();
    EXPECT_EQ(text(SlotBatteryLifetime), "AC Online");
}

struct FakeProcesses {
    uint32_t running;
    int calls;
};

bool enumerateFake(void* context, void* buffer, uint32_t bytes, uint32_t* bytesUsed) {
    auto* fake = static_cast<FakeProcesses*>(context);
    ++fake->calls;
    uint32_t fits = bytes / 4 < fake->running ? bytes / 4 : fake->running;
    for (uint32_t i = 0; i < fits; ++i) static_cast<uint32_t*>(buffer)[i] = 4 * (i + 1);
    *bytesUsed = fits * 4;
    return fake->running != 0xDEAD;
}

TEST_F(SystemTest, ProcessCountGrowsTheBufferUntilItIsNotFull) {
    FakeProcesses many{3000, 0};
    EXPECT_EQ(countProcessIds(enumerateFake, &many), 3000);
    EXPECT_EQ(many.calls, 3);  // 1024, 2048, 4096 ids
    FakeProcesses exact{1024, 0};
    EXPECT_EQ(countProcessIds(enumerateFake, &exact), 1024);
    FakeProcesses failing{0xDEAD, 0};
    EXPECT_EQ(countProcessIds(enumerateFake, &failing), 0);
}

TEST_F(SystemTest, UpdateWritesNothingWithoutASampler) {
    destroySystemSampler();
    systemStandIn.processCount = 88;
    runAllUpdaters();
    EXPECT_EQ(text(SlotProcessCount), "procnum");
    EXPECT_EQ(text(SlotCpuLoad), "cpu");
    createSystemSampler();
    runAllUpdaters();
    EXPECT_EQ(text(SlotProcessCount), "88");
}

}  // namespace
