#include <gtest/gtest.h>

#include <string>

#include "format/format.h"
#include "metrics/hostproc.h"
#include "metrics/hostproc_native.h"

namespace {

class HostProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        nativeHostMemory = {};
        nativeHostMemoryOk = true;
        nativeGdiObjects = 0;
        nativeGdiQueries = 0;
    }
    void TearDown() override { freeSegments(); }

    static void compile(const char* format) {
        freeSegments();
        compileFormat(format, {"", "", ""});
    }
    static std::string text(MetricSlot slot) { return formatEngine.segments[slotOf(slot)]; }
};

TEST_F(HostProcessTest, CountersShownInKilobytes) {
    compile("%PM %PN %PS %PT %PG");
    nativeHostMemory = {10485760, 5ull << 30, 1023, 2048};
    nativeGdiObjects = 42;
    updateHostProcessStats();
    EXPECT_EQ(text(SlotHostPhysical), "10240KB");
    EXPECT_EQ(text(SlotHostPeakPhysical), "5242880KB");  // past 4 GB, not cut to 32 bits
    EXPECT_EQ(text(SlotHostSwap), "0KB");
    EXPECT_EQ(text(SlotHostPeakSwap), "2KB");
    EXPECT_EQ(text(SlotHostGdi), "42");
}

TEST_F(HostProcessTest, FailedQueryShowsZerosNotWhatTheRecordHeld) {
    compile("%PM %PT");
    nativeHostMemory = {0xABABABABABull, 1, 2, 0xCDCDCDCDCDull};
    nativeHostMemoryOk = false;
    updateHostProcessStats();
    EXPECT_EQ(text(SlotHostPhysical), "0KB");
    EXPECT_EQ(text(SlotHostPeakSwap), "0KB");
}

TEST_F(HostProcessTest, GdiCountQueriedOnlyWhenShown) {
    compile("%PM");
    updateHostProcessStats();
    EXPECT_EQ(nativeGdiQueries, 0);
    compile("%PG");
    updateHostProcessStats();
    EXPECT_EQ(nativeGdiQueries, 1);
}

}  // namespace
