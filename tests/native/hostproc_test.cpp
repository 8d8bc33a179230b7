#include <gtest/gtest.h>

#include <string>

#include "format/format.h"
#include "metrics/hostproc.h"
#include "metrics/hostproc_native.h"

namespace {

std::string hostText(MetricSlot slot) { return formatEngine.segments[slotOf(slot)]; }

void compileHostFormat(const char* format) {
    freeSegments();
    compileFormat(format, {"", "", ""});
    nativeGdiQueries = 0;
}

TEST(HostProcess, CountersShownInKilobytesAndZerosAfterAFailedQuery) {
    compileHostFormat("%PM %PN %PS %PG");
    nativeHostMemory = {10485760, 5ull << 30, 1023, 0};
    nativeHostMemoryOk = true;
    nativeGdiObjects = 42;
    updateHostProcessStats();
    EXPECT_EQ(hostText(SlotHostPhysical), "10240KB");
    EXPECT_EQ(hostText(SlotHostPeakPhysical), "5242880KB");  // past 4 GB, not cut to 32 bits
    EXPECT_EQ(hostText(SlotHostSwap), "0KB");
    EXPECT_EQ(hostText(SlotHostGdi), "42");

    nativeHostMemory = {0xABABABABABull, 1, 2, 0};  // whatever the record held
    nativeHostMemoryOk = false;
    updateHostProcessStats();
    EXPECT_EQ(hostText(SlotHostPhysical), "0KB");
    freeSegments();
}

TEST(HostProcess, GdiCountQueriedOnlyWhenShown) {
    compileHostFormat("%PM");
    updateHostProcessStats();
    EXPECT_EQ(nativeGdiQueries, 0);
    compileHostFormat("%PG");
    updateHostProcessStats();
    EXPECT_EQ(nativeGdiQueries, 1);
    freeSegments();
}

}  // namespace
