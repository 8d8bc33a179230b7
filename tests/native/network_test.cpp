#include <gtest/gtest.h>

#include <string>

#include "format/format.h"
#include "metrics/network.h"
#include "metrics/network_native.h"
#include "metrics/stand_ins.h"
#include "settings/settings.h"

namespace {

InterfaceSample sample(uint32_t row, uint32_t inOctets, uint32_t outOctets, uint32_t tickMs) {
    return InterfaceSample{row, 100 + row, inOctets, outOctets, tickMs, false, 0};
}

TEST(InterfaceRow, ZeroIsTheFirstRowAndNIsRowN) {
    uint32_t row = 99;
    EXPECT_TRUE(chooseInterfaceRow(0, 3, &row) && row == 0);
    EXPECT_TRUE(chooseInterfaceRow(3, 3, &row) && row == 2);
    EXPECT_FALSE(chooseInterfaceRow(0, 0, &row));
    EXPECT_FALSE(chooseInterfaceRow(4, 3, &row));
    EXPECT_FALSE(chooseInterfaceRow(kAutoInterface, 3, &row));  // Auto follows the route
    EXPECT_FALSE(chooseInterfaceRow(-2, 3, &row));
}

TEST(Throughput, CountersThatStartAgainAreNoWrap) {
    constexpr uint64_t k4G = 1ull << 32;
    struct Row {
        uint64_t before, now;
        bool wide;
        uint64_t speed;  // bits per second, 0 unknown
        uint32_t elapsedMs;
        bool wentOn;
    } const rows[] = {
        {5000000, 5001000, true, 0, 1000, true},
        {5000000, 5000000, false, 0, 1000, true},
        // 64-bit counters only grow: below the last count is a new start.
        {5000000, 1000, true, 0, 1000, false},
        {k4G + 10, 10, true, 0, 1000, false},
        // 32-bit: 2 MB across the wrap in a second fits 10 Mbit/s, 2 MB in
        // a millisecond does not.
        {k4G - 1000000, 1000000, false, 10000000, 1000, false},
        {k4G - 1000000, 1000000, false, 20000000, 1000, true},
        {k4G - 1000000, 1000000, false, 0, 1, false},
        // No speed reported: 10 Gbit/s. Back from 5,000,000 to 1,000 in a
        // second would be ~4 GB: a reset.
        {5000000, 1000, false, 0, 1000, false},
        {k4G - 1000000, 1000000, false, 0, 1000, true},
        {k4G - 1, 1249999999, false, 0, 1000, true},  // 1.25 GB: just 10 Gbit/s
        {k4G - 1, 1250000000, false, 0, 1000, false},
        {5000000, 1000, false, 0, 0, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(counterWentOn(r.before, r.now, r.wide, r.speed, r.elapsedMs), r.wentOn)
            << r.before << " -> " << r.now << (r.wide ? " wide" : " narrow") << " at " << r.speed
            << " over " << r.elapsedMs << " ms";
    }
}

TEST(Throughput, ACounterThatStartedAgainGivesANewBaselineAndNoFigure) {
    for (const bool wide : {true, false}) {
        ThroughputState state{};
        Throughput rates{};
        auto at = [wide](uint64_t in, uint64_t out, uint32_t tickMs) {
            return InterfaceSample{0, 7, in, out, tickMs, wide, 100000000};
        };
        advanceThroughput(&state, at(5000000, 5000000, 1000), 500, &rates);
        ASSERT_TRUE(advanceThroughput(&state, at(5102400, 5010240, 2000), 500, &rates));
        EXPECT_EQ(rates.downloadKB, 100u);
        // The adapter was disabled and enabled: no 4 GB/s, and the next
        // figure counts from the new start. One counter alone is enough.
        EXPECT_FALSE(advanceThroughput(&state, at(1000, 5020480, 3000), 500, &rates));
        EXPECT_EQ(rates.downloadKB, 100u);
        ASSERT_TRUE(advanceThroughput(&state, at(1000 + 20480, 5020480, 4000), 500, &rates));
        EXPECT_EQ(rates.downloadKB, 20u) << wide;
        EXPECT_EQ(rates.uploadKB, 0u);
    }
}

TEST(Throughput, IsKilobytesPerSecondWhateverTheIntervalAndAcrossWraps) {
    ThroughputState state{};
    Throughput rates{};
    EXPECT_FALSE(advanceThroughput(&state, sample(0, 1000, 500, 10000), 500, &rates));
    ASSERT_TRUE(advanceThroughput(&state, sample(0, 1537000, 10740, 11000), 500, &rates));
    EXPECT_EQ(rates.downloadKB, 1500u);
    EXPECT_EQ(rates.uploadKB, 10u);
    ASSERT_TRUE(
        advanceThroughput(&state, sample(0, 1537000 + 7680000, 10740, 16000), 500, &rates));
    EXPECT_EQ(rates.downloadKB, 1500u);

    // Both the counter and the tick count wrap past 2^32 here.
    advanceThroughput(&state, sample(0, 0xFFFFFC00u, 0, 0xFFFFFE0Cu), 500, &rates);
    ASSERT_TRUE(advanceThroughput(&state, sample(0, 0x00000400u, 0, 0x000001F4u), 500, &rates));
    EXPECT_EQ(rates.downloadKB, 2u);

    // No time passed: nothing shown, and the next figure spans both ticks.
    EXPECT_FALSE(advanceThroughput(&state, sample(0, 0x00100400u, 0, 0x000001F4u), 500, &rates));
    ASSERT_TRUE(advanceThroughput(&state, sample(0, 0x00200400u, 0, 0x000009C4u), 500, &rates));
    EXPECT_EQ(rates.downloadKB, 1024u);

    // A refresh 5 ms after a tick (a command) would extrapolate 5 KB to
    // 1000 KB/s: shorter than half the interval, the figure and the
    // baseline stay, and the next tick measures from the older one.
    EXPECT_FALSE(advanceThroughput(&state, sample(0, 0x00201800u, 0, 0x000009C9u), 500, &rates));
    EXPECT_EQ(rates.downloadKB, 1024u);
    ASSERT_TRUE(advanceThroughput(&state, sample(0, 0x00202800u, 0, 0x00000DACu), 500, &rates));
    EXPECT_EQ(rates.downloadKB, 9u);  // 9 KB over one second
    // With a 10-second interval, 4 seconds is too short as well.
    EXPECT_FALSE(advanceThroughput(&state, sample(0, 0x00302800u, 0, 0x00001D4Cu), 5000, &rates));
}

TEST(Throughput, WideCountersCountPastFourGiBAndAcrossTheNarrowWrap) {
    ThroughputState state{};
    Throughput rates{};
    auto wide = [](uint64_t in, uint32_t tickMs) {
        return InterfaceSample{0, 7, in, 0, tickMs, true, 0};
    };
    advanceThroughput(&state, wide(0xFFFFFC00u, 1000), 500, &rates);
    ASSERT_TRUE(advanceThroughput(&state, wide(0x100000400ull, 2000), 500, &rates));
    EXPECT_EQ(rates.downloadKB, 2u);
    // 10 Gbit/s over a 5-second interval: 6.25 GB, past what 32 bits hold.
    ASSERT_TRUE(
        advanceThroughput(&state, wide(0x100000400ull + 6250000000ull, 7000), 500, &rates));
    EXPECT_EQ(rates.downloadKB, 1220703u);
    // Counters of another width are not comparable: a new baseline.
    EXPECT_FALSE(
        advanceThroughput(&state, InterfaceSample{0, 7, 5, 0, 8000, false, 0}, 500, &rates));
}

TEST(Throughput, ChangingInterfaceStartsAFreshBaseline) {
    ThroughputState state{};
    Throughput rates{};
    advanceThroughput(&state, sample(0, 5000000, 5000000, 1000), 500, &rates);
    advanceThroughput(&state, sample(0, 5001024, 5001024, 2000), 500, &rates);
    // Row 1's counters are far below row 0's: no spike, just a new baseline.
    EXPECT_FALSE(advanceThroughput(&state, sample(1, 2048, 1024, 3000), 500, &rates));
    ASSERT_TRUE(advanceThroughput(&state, sample(1, 4096, 1024, 4000), 500, &rates));
    EXPECT_EQ(rates.downloadKB, 2u);
    // Auto moving to another interface: the same, whatever the counts.
    EXPECT_FALSE(advanceThroughput(
        &state, InterfaceSample{kRouteRow, 9, 8192, 1024, 5000, false, 0}, 500, &rates));
    EXPECT_FALSE(advanceThroughput(
        &state, InterfaceSample{kRouteRow, 7, 9000000, 1024, 6000, false, 0}, 500, &rates));
    ASSERT_TRUE(advanceThroughput(
        &state, InterfaceSample{kRouteRow, 7, 9001024, 1024, 7000, false, 0}, 500, &rates));
    EXPECT_EQ(rates.downloadKB, 1u);
}

class NetworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetStandIns();
        settings.networkInterface = 0;
        networkStandIn.rowCount = 1;
        networkStandIn.rows[0] = {7, 0, 0, false};
        networkStandIn.tickMs = 1000;
        settings.mainInterval = 1;
    }
    void TearDown() override { freeSegments(); }
    static std::string shown(MetricSlot slot) { return formatEngine.segments[slotOf(slot)]; }
    // One main tick after `kilobytes` went down through row `row` in a second.
    static void tick(int row = 0, uint32_t kilobytes = 0) {
        networkStandIn.rows[row].inOctets += kilobytes * 1024ull;
        networkStandIn.tickMs += 1000;
        updateNetwork();
    }
};

TEST_F(NetworkTest, FirstSampleLeavesTheCompiledTextsThenBothAreWritten) {
    freeSegments();
    compileFormat("%ID/%IU", IdentityTexts{"", "", ""});
    updateNetwork();
    EXPECT_STREQ(formatEngine.segments[slotOf(SlotDownload)], "0KB");
    networkStandIn.rows[0] = {7, 1536000, 3072, false};
    networkStandIn.tickMs = 2000;
    updateNetwork();
    EXPECT_STREQ(formatEngine.segments[slotOf(SlotDownload)], "1500KB");
    EXPECT_STREQ(formatEngine.segments[slotOf(SlotUpload)], "3KB");
}

TEST_F(NetworkTest, AutoFollowsTheRouteAndStartsAfreshOnEachMove) {
    freeSegments();
    compileFormat("%ID", IdentityTexts{"", "", ""});
    settings.networkInterface = kAutoInterface;
    networkStandIn.rowCount = 2;
    networkStandIn.rows[1] = {9, 0, 0, false};
    networkStandIn.routeInterface = 9;
    updateNetwork();
    tick(1, 40);
    EXPECT_EQ(shown(SlotDownload), "40KB");
    EXPECT_EQ(networkStandIn.tableReads, 0);  // Auto needs no table
    EXPECT_EQ(networkStandIn.routeLookups, 1);

    // The route moves without a notification: nothing is asked again.
    networkStandIn.routeInterface = 7;
    tick(1, 30);
    EXPECT_EQ(shown(SlotDownload), "30KB");
    // Notified: the next tick follows it, with a new baseline (row 0's
    // counts are unrelated), so the tick after that shows row 0's traffic.
    ++networkStandIn.changes;
    networkStandIn.rows[0].inOctets = 7000000;
    tick(0, 10);
    EXPECT_EQ(networkStandIn.routeLookups, 2);
    EXPECT_EQ(shown(SlotDownload), "30KB");
    tick(0, 20);
    EXPECT_EQ(shown(SlotDownload), "20KB");

    // No route (the connection went): nothing flows, not the last figure.
    ++networkStandIn.changes;
    networkStandIn.routeUnknown = true;
    tick(0, 20);
    EXPECT_EQ(shown(SlotDownload), "0KB");
    networkStandIn.routeUnknown = false;
    tick(0, 20);  // back: a first reading again
    tick(0, 5);
    EXPECT_EQ(shown(SlotDownload), "5KB");
}

TEST_F(NetworkTest, NotificationsReplaceAskingForTheTableEveryTick) {
    freeSegments();
    compileFormat("%ID", IdentityTexts{"", "", ""});
    networkStandIn.rowCount = 2;
    networkStandIn.rows[1] = {9, 0, 0, false};
    for (int i = 0; i < 4; ++i) {
        tick();
    }
    EXPECT_EQ(networkStandIn.watches, 1);
    EXPECT_EQ(networkStandIn.counts, 0);
    EXPECT_EQ(networkStandIn.tableReads, 1);
    ++networkStandIn.changes;  // an interface came or went: the rows may have moved
    tick();
    EXPECT_EQ(networkStandIn.tableReads, 2);
    // A format change starts afresh but keeps the notifications.
    restartNetwork();
    tick();
    EXPECT_EQ(networkStandIn.watches, 1);
    endNetwork();
    EXPECT_EQ(networkStandIn.watchStops, 1);

    // Without notifications, the number of interfaces is asked each tick.
    networkStandIn.watchRefused = true;
    tick();
    tick();
    EXPECT_EQ(networkStandIn.watches, 2);
    EXPECT_EQ(networkStandIn.counts, 2);
    EXPECT_EQ(networkStandIn.tableReads, 4);
    networkStandIn.rowCount = 1;
    tick();
    EXPECT_EQ(networkStandIn.tableReads, 5);
}

}  // namespace
