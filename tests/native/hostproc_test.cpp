#include <gtest/gtest.h>

#include <string>

#include "format/format.h"
#include "metrics/hostproc.h"
#include "metrics/hostproc_native.h"
#include "metrics/stand_ins.h"
#include "plugin/frame.h"

namespace {

std::string hostText(MetricSlot slot) { return formatEngine.segments[slotOf(slot)]; }

void compileHostFormat(const char* format) {
    freeSegments();
    compileFormat(format, {"", "", ""});
}

class HostProcess : public ::testing::Test {
protected:
    void SetUp() override { resetStandIns(); }
};

TEST_F(HostProcess, CountersShownInKilobytesAndZerosAfterAFailedQuery) {
    compileHostFormat("%PM %PN %PS %PG");
    hostProcessStandIn.memory = {10485760, 5ull << 30, 1023, 0};
    hostProcessStandIn.memoryOk = true;
    hostProcessStandIn.gdiObjects = 42;
    runAllUpdaters();
    EXPECT_EQ(hostText(SlotHostPhysical), "10240KB");
    EXPECT_EQ(hostText(SlotHostPeakPhysical), "5242880KB");  // past 4 GB, not cut to 32 bits
    EXPECT_EQ(hostText(SlotHostSwap), "0KB");
    EXPECT_EQ(hostText(SlotHostGdi), "42");

    hostProcessStandIn.memory = {0xABABABABABull, 1, 2, 0};  // whatever the record held
    hostProcessStandIn.memoryOk = false;
    runAllUpdaters();
    EXPECT_EQ(hostText(SlotHostPhysical), "0KB");
    freeSegments();
}

TEST_F(HostProcess, GdiCountQueriedOnlyWhenShown) {
    compileHostFormat("%PM");
    runAllUpdaters();
    EXPECT_EQ(hostProcessStandIn.gdiQueries, 0);
    compileHostFormat("%PG");
    runAllUpdaters();
    EXPECT_EQ(hostProcessStandIn.gdiQueries, 1);
    freeSegments();
}

}  // namespace
