// What a tick asks the system for: only what the compiled format shows,
// and a token that a format change brings in starts as at start-up.
#include <gtest/gtest.h>

#include <string>

#include "format/format.h"
#include "metrics/clocks_native.h"
#include "metrics/disk_native.h"
#include "metrics/hostproc_native.h"
#include "metrics/network_native.h"
#include "metrics/stand_ins.h"
#include "metrics/system_native.h"
#include "metrics/uptime_native.h"
#include "plugin/frame.h"
#include "settings/settings.h"
#include "smart/smart_fake.h"

namespace {

class TickTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetStandIns();
        createSystemSampler();
        settings.padPercentages = false;
        settings.networkInterface = 0;
        networkStandIn.rowCount = 2;
        networkStandIn.rows[0] = {7, 0, 0, false};
        networkStandIn.rows[1] = {9, 0, 0, false};
        networkStandIn.wide = true;
        freeSegments();
    }
    void TearDown() override {
        freeSegments();
        destroySystemSampler();
    }
    void useFormat(const char* format) {
        copySettingText(settings.strFormat, kFormatTextSize, format);
        fullRefresh();
    }
    static std::string shown(MetricSlot slot) { return formatEngine.segments[slotOf(slot)]; }
    // Interface counters that moved by `kilobytes` in one second.
    static void traffic(uint32_t kilobytes) {
        networkStandIn.rows[0].inOctets += kilobytes * 1024ull;
        networkStandIn.tickMs += 1000;
    }
};

// The calls each updater's query makes to its family's stand-in.
int queries(UpdaterId id) {
    switch (id) {
        case UpdateDisk: return diskStandIn.queries;
        case UpdateUptime: return uptimeStandIn.reads;
        case UpdateCpu: return systemStandIn.cpuSamples;
        case UpdateMemory: return systemStandIn.memoryReads;
        case UpdatePower: return systemStandIn.powerReads;
        case UpdateProcesses: return systemStandIn.processCounts;
        case UpdateNetwork: return networkStandIn.interfaceReads + networkStandIn.tableReads;
        case UpdateDriveTemperature: return fakeSmartDrive.openedPath[0] != '\0';
        case UpdateClocks: return clockStandIn.universalReads;
        case UpdateHostMemory: return hostProcessStandIn.memoryQueries;
        case UpdateGdi: return hostProcessStandIn.gdiQueries;
        default: return 0;
    }
}

TEST_F(TickTest, EachQueryRunsOnlyWhenTheFormatShowsOneOfItsTokens) {
    for (const MetricToken& token : kMetricTokens) {
        SetUp();
        std::string format = std::string("%") + token.code + (token.place == Place::PerDrive ? "C" : "");
        useFormat(format.c_str());
        for (int id = UpdateDisk; id < UpdaterCount; ++id) {
            const bool expected = id == token.updater;
            EXPECT_EQ(queries(static_cast<UpdaterId>(id)) > 0, expected) << format << " updater " << id;
        }
        TearDown();
    }
    // The default format's main tick: the sampler and the memory status only.
    SetUp();
    useFormat(kDefaultFormat);
    resetStandIns();
    createSystemSampler();
    runTimerUpdaters(TIMER_MAIN);
    for (int id = UpdateDisk; id < UpdaterCount; ++id) {
        EXPECT_EQ(queries(static_cast<UpdaterId>(id)) > 0, id == UpdateCpu || id == UpdateMemory) << id;
    }
}

TEST_F(TickTest, ATokenBroughtInByAFormatChangeStartsAsAtStartUp) {
    systemStandIn.cpuPercent = 40;
    useFormat("%CP %ID");
    EXPECT_EQ(systemStandIn.cpuForgets, 1);
    EXPECT_EQ(shown(SlotDownload), "0KB");
    traffic(300);
    runTimerUpdaters(TIMER_MAIN);
    EXPECT_EQ(shown(SlotDownload), "300KB");

    // Still shown after a change: no fresh start.
    useFormat("%ID %CP.");
    EXPECT_EQ(systemStandIn.cpuForgets, 1);
    EXPECT_EQ(shown(SlotDownload), "0KB");  // the compiled text, then the same figure
    traffic(200);
    runTimerUpdaters(TIMER_MAIN);
    EXPECT_EQ(shown(SlotDownload), "200KB");

    // Gone for a while, then back: the counters moved meanwhile, but the
    // first reading shows none of that, and a failed first CPU sample
    // shows 0 as at start, not the last figure.
    useFormat("%RP");
    traffic(5000);
    runTimerUpdaters(TIMER_MAIN);
    systemStandIn.cpuFails = true;
    useFormat("%CP %ID");
    EXPECT_EQ(systemStandIn.cpuForgets, 2);
    EXPECT_EQ(shown(SlotCpuLoad), "0%");
    EXPECT_EQ(shown(SlotDownload), "0KB");
    traffic(100);
    runTimerUpdaters(TIMER_MAIN);
    EXPECT_EQ(shown(SlotDownload), "100KB");
}

TEST_F(TickTest, InterfaceIsLookedUpAgainOnlyWhenItMayHaveMoved) {
    useFormat("%ID");
    EXPECT_EQ(networkStandIn.tableReads, 1);
    runTimerUpdaters(TIMER_MAIN);
    runTimerUpdaters(TIMER_MAIN);
    EXPECT_EQ(networkStandIn.tableReads, 1);  // one row read a tick, not the table
    EXPECT_EQ(networkStandIn.interfaceReads, 3);

    settings.networkInterface = 2;  // the setting changed
    runTimerUpdaters(TIMER_MAIN);
    EXPECT_EQ(networkStandIn.tableReads, 2);
    networkStandIn.rows[2] = {11, 0, 0, false};
    networkStandIn.rowCount = 3;  // an interface came: the rows may have moved
    runTimerUpdaters(TIMER_MAIN);
    EXPECT_EQ(networkStandIn.tableReads, 3);
    networkStandIn.rows[1].interfaceId = 12;  // the row query fails: look up and read again
    runTimerUpdaters(TIMER_MAIN);
    EXPECT_EQ(networkStandIn.tableReads, 4);
    EXPECT_EQ(networkStandIn.interfaceReads, 7);

    settings.networkInterface = 9;  // no such row: nothing read, nothing shown
    runTimerUpdaters(TIMER_MAIN);
    EXPECT_EQ(networkStandIn.interfaceReads, 7);
}

}  // namespace
