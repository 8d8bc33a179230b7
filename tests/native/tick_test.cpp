// What a tick asks the system for: only what the compiled format shows,
// and a token that a format change brings in starts as at start-up. What
// a tick writes: each token's text, and beside it the number it shows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include "format/format.h"
#include "format/history.h"
#include "metrics/clocks_native.h"
#include "metrics/disk.h"
#include "metrics/disk_native.h"
#include "metrics/hostproc_native.h"
#include "metrics/network_native.h"
#include "metrics/stand_ins.h"
#include "metrics/system_native.h"
#include "metrics/temperature.h"
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
        freeGraphHistories();
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

// Something to read for every family: a volume C:, a busy system on
// battery, a drive at 38 degrees and a shell using memory and GDI.
void readingsForEveryFamily() {
    constexpr uint64_t kMiB = 1024ULL * 1024, kGiB = 1024 * kMiB;
    diskStandIn.volumes['C' - 'A'] = {true, 30 * kGiB, 100 * kGiB, 33 * kGiB};
    systemStandIn.cpuPercent = 40;
    systemStandIn.memory = {8 * kGiB, 3 * kGiB, 12 * kGiB, 10 * kGiB};
    systemStandIn.power = {80, false, 5400};
    systemStandIn.processCount = 42;
    uptimeStandIn.clock = {0, 1234567, 1};
    hostProcessStandIn.memory = {5 * kMiB, 6 * kMiB, 7 * kMiB, 8 * kMiB};
    hostProcessStandIn.memoryOk = true;
    hostProcessStandIn.gdiObjects = 77;
    resetFakeSmartDrive();
    fakeSmartDrive.sector[2] = 194;  // the first attribute: its raw byte at 5
    fakeSmartDrive.sector[7] = 38;
    settings.hdTempAttrId = 194;
    settings.physicalDriveNumber = 0;
    settings.driveNumber = 0;
    settings.mainInterval = 1;  // throughput skips spans shorter than half of it
}

// The number a text shows, read back the way its unit writes it; sizes
// are checked by formatting the number again instead.
double shownNumber(const std::string& text, Unit unit) {
    if (unit != Unit::Seconds) {
        return std::stod(text);  // "40%", "5120MB", "38"
    }
    unsigned hours = 0, minutes = 0;
    if (std::sscanf(text.c_str(), "%u:%u", &hours, &minutes) == 2) {
        return hours * 3600.0 + minutes * 60.0;  // the battery's "1:30"
    }
    std::istringstream parts(text);  // uptime's "2w 0d 6h 56m"
    double seconds = 0;
    unsigned n = 0;
    char part = 0;
    while (parts >> n >> part) {
        const double each = part == 'w' ? 604800 : part == 'd' ? 86400 : part == 'h' ? 3600 : 60;
        seconds += n * each;
    }
    return seconds;
}

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

TEST_F(TickTest, EveryTokenThatClaimsANumberGetsTheOneItsTextShows) {
    for (const MetricToken& token : kMetricTokens) {
        SetUp();
        readingsForEveryFamily();
        std::string format =
            std::string("%") + token.code + (token.place == Place::PerDrive ? "C" : "");
        useFormat(format.c_str());
        traffic(300);  // throughput needs a second reading
        runUpdater(token.updater);
        const SegmentValue number = segmentValue(0);
        const std::string text = formatEngine.segments[0];
        EXPECT_EQ(number.unit, token.unit) << format;
        EXPECT_EQ(number.read, token.unit != Unit::None) << format;
        if (token.unit == Unit::Bytes) {
            char size[32];
            formatByteSize(static_cast<uint64_t>(number.value), size, sizeof size);
            EXPECT_EQ(text, size) << format;
        } else if (token.unit == Unit::Seconds) {
            const double wholeMinutes = number.value - std::fmod(number.value, 60);
            EXPECT_EQ(shownNumber(text, token.unit), wholeMinutes) << format;
        } else if (number.read) {
            EXPECT_EQ(shownNumber(text, token.unit), number.value) << format << " shows " << text;
        }
        TearDown();
    }
    // No number where the text shows no reading, nor for literal text.
    SetUp();
    useFormat("%DFQ %H");  // no volume Q; the drive is not attached
    EXPECT_EQ(shown(SlotDriveTemperature), "255");
    EXPECT_FALSE(segmentValue(diskSlotOf(DiskFree, 'Q')).read);
    EXPECT_FALSE(segmentValue(slotOf(SlotDriveTemperature)).read);
    EXPECT_EQ(segmentValue(1).unit, Unit::None);
    EXPECT_EQ(segmentValue(kMaxSegments).unit, Unit::None);
    systemStandIn.power = {255, true, 0xFFFFFFFFu};  // on mains, the charge unknown
    useFormat("%BP %BL");
    EXPECT_FALSE(segmentValue(slotOf(SlotBatteryPercent)).read);
    EXPECT_FALSE(segmentValue(slotOf(SlotBatteryLifetime)).read);
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

// A graph asks nothing of its own: its token's updater runs for it, and
// each main tick (not the compile's reading, nor a slower timer) adds a
// column, kept across a format change that keeps the graph.
TEST_F(TickTest, AGraphTakesOneReadingPerMainTickAndKeepsIt) {
    systemStandIn.cpuPercent = 40;
    useFormat("%GCP");
    EXPECT_EQ(systemStandIn.cpuSamples, 1);
    EXPECT_TRUE(std::isnan(graphReading(0, 0)));
    runTimerUpdaters(TIMER_MAIN);
    EXPECT_EQ(systemStandIn.cpuSamples, 2);
    EXPECT_EQ(graphReading(0, 0), 40);
    systemStandIn.cpuPercent = 70;
    runTimerUpdaters(TIMER_DISK);
    EXPECT_TRUE(std::isnan(graphReading(0, 1)));
    useFormat("CPU %CP %GCP");
    runTimerUpdaters(TIMER_MAIN);
    EXPECT_EQ(graphReading(3, 0), 70);
    EXPECT_EQ(graphReading(3, 1), 40);
    EXPECT_EQ(systemStandIn.cpuForgets, 1);  // the CPU went on, not afresh
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
    networkStandIn.rowCount = 3;  // an interface came, and Windows says so
    ++networkStandIn.changes;
    runTimerUpdaters(TIMER_MAIN);
    EXPECT_EQ(networkStandIn.tableReads, 3);
    networkStandIn.rows[1].interfaceId = 12;  // the row query fails: look up and read again
    runTimerUpdaters(TIMER_MAIN);
    EXPECT_EQ(networkStandIn.tableReads, 4);
    EXPECT_EQ(networkStandIn.interfaceReads, 7);

    settings.networkInterface = 9;  // no such row: nothing read, nothing flows
    runTimerUpdaters(TIMER_MAIN);
    EXPECT_EQ(networkStandIn.interfaceReads, 7);
    EXPECT_EQ(shown(SlotDownload), "0KB");
    EXPECT_EQ(networkStandIn.counts, 0);  // notified: the table is never polled
}

}  // namespace
