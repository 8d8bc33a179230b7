#include <gtest/gtest.h>

#include "format/format.h"
#include "metrics/network.h"
#include "metrics/network_native.h"
#include "metrics/stand_ins.h"
#include "settings/settings.h"

namespace {

InterfaceSample sample(uint32_t row, uint32_t inOctets, uint32_t outOctets, uint32_t tickMs) {
    return InterfaceSample{row, 100 + row, inOctets, outOctets, tickMs, false};
}

TEST(InterfaceRow, ZeroIsTheFirstRowAndNIsRowN) {
    uint32_t row = 99;
    EXPECT_TRUE(chooseInterfaceRow(0, 3, &row) && row == 0);
    EXPECT_TRUE(chooseInterfaceRow(3, 3, &row) && row == 2);
    EXPECT_FALSE(chooseInterfaceRow(0, 0, &row));
    EXPECT_FALSE(chooseInterfaceRow(4, 3, &row));
    EXPECT_FALSE(chooseInterfaceRow(-1, 3, &row));
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
    auto wide = [](uint64_t in, uint32_t tickMs) { return InterfaceSample{0, 7, in, 0, tickMs, true}; };
    advanceThroughput(&state, wide(0xFFFFFC00u, 1000), 500, &rates);
    ASSERT_TRUE(advanceThroughput(&state, wide(0x100000400ull, 2000), 500, &rates));
    EXPECT_EQ(rates.downloadKB, 2u);
    // 10 Gbit/s over a 5-second interval: 6.25 GB, past what 32 bits hold.
    ASSERT_TRUE(
        advanceThroughput(&state, wide(0x100000400ull + 6250000000ull, 7000), 500, &rates));
    EXPECT_EQ(rates.downloadKB, 1220703u);
    // Counters of another width are not comparable: a new baseline.
    EXPECT_FALSE(
        advanceThroughput(&state, InterfaceSample{0, 7, 5, 0, 8000, false}, 500, &rates));
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
}

class NetworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetStandIns();
        settings.networkInterface = 0;
        networkStandIn.rowCount = 1;
        networkStandIn.rows[0] = {7, 0, 0, false};
        networkStandIn.tickMs = 1000;
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
    freeSegments();
}

}  // namespace
