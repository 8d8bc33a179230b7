#include <gtest/gtest.h>

#include <string>

#include "format/format.h"
#include "metrics/disk.h"
#include "metrics/disk_native.h"
#include "metrics/stand_ins.h"

namespace {

constexpr uint64_t kGiB = 1024ULL * 1024 * 1024;

class DiskTest : public ::testing::Test {
protected:
    // C: 100 GiB, 33.3 GiB free of which 30 GiB usable by the caller; E: a
    // volume reporting no size; no other letter has a volume.
    void SetUp() override {
        resetStandIns();
        diskStandIn.volumes['C' - 'A'] = {true, 30 * kGiB, 100 * kGiB, 33 * kGiB + kGiB / 3};
        diskStandIn.volumes['E' - 'A'] = {true, 0, 0, 0};
        freeSegments();
    }
    static std::string queried() { return diskStandIn.queried; }
    void TearDown() override { freeSegments(); }
    static std::string text(DiskKind kind, char letter) {
        return formatEngine.segments[diskSlotOf(kind, letter)];
    }
};

TEST_F(DiskTest, EveryTokenOfOneDriveMakesItsOwnQuery) {
    compileFormat("%DFC %DTC %DUC %DPC %DQC", IdentityTexts{"", "", ""});
    updateDiskSpace();
    EXPECT_EQ(queried(), "CCCCC");
    EXPECT_EQ(text(DiskFree, 'C'), "30.0 GB");
    EXPECT_EQ(text(DiskTotal, 'C'), "100 GB");
    EXPECT_EQ(text(DiskUsed, 'C'), "66.7 GB");
    // Free-to-caller against total free: the two need not add up to 100.
    EXPECT_EQ(text(DiskFreePercent, 'C'), "30%");
    EXPECT_EQ(text(DiskUsedPercent, 'C'), "66%");
}

TEST_F(DiskTest, FailuresShowDashesAndCountUntilTheWalkStops) {
    compileFormat("%DFA %DPA %DPE %DQE %DTG", IdentityTexts{"", "", ""});
    formatEngine.driveTokenCount = 4;  // G lies past the last counted token
    updateDiskSpace();
    EXPECT_EQ(queried(), "AAEE");
    EXPECT_EQ(text(DiskFree, 'A'), "--");
    EXPECT_EQ(text(DiskFreePercent, 'A'), "--");
    EXPECT_EQ(text(DiskFreePercent, 'E'), "0%");
    EXPECT_EQ(text(DiskUsedPercent, 'E'), "0%");
    // A driver reporting more free space than the volume holds.
    EXPECT_EQ(diskPercent(200, 100), 100);
}

}  // namespace
