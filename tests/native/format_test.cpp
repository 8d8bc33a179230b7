#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/format.h"
#include "metrics/clocks.h"
#include "metrics/disk.h"
#include "metrics/network.h"
#include "metrics/system.h"
#include "metrics/temperature.h"
#include "metrics/uptime.h"

namespace {

const IdentityTexts kIdentity{"192.168.1.7", "alice", "DESK"};

class FormatTest : public ::testing::Test {
protected:
    void SetUp() override { resetSegments(); }
    void TearDown() override { freeSegments(); }

    std::vector<std::string> compile(const char* format, IdentityTexts identity = kIdentity) {
        freeSegments();
        compileFormat(format, identity);
        applyEscapes();
        std::vector<std::string> out;
        for (int i = 0; i < formatEngine.segmentCount; ++i) {
            out.emplace_back(formatEngine.segments[i]);
        }
        return out;
    }

    std::string display() {
        assembleDisplayText();
        return formatEngine.displayText;
    }
};

using Segments = std::vector<std::string>;

TEST_F(FormatTest, DefaultFormatGivesSevenSegmentsWithTheirSlots) {
    EXPECT_EQ(compile("CPU:%CP RAM:%RP C:%DFC Free"),
              (Segments{"CPU:", "cpu", " RAM:", "phy", " C:", "-", " Free"}));
    EXPECT_EQ(slotOf(SlotCpuLoad), 1);
    EXPECT_EQ(slotOf(SlotPhysicalPercent), 3);
    EXPECT_EQ(diskSlotOf(DiskFree, 'C'), 5);
    EXPECT_EQ(diskSlotOf(DiskFree, 'D'), -1);
    EXPECT_EQ(slotOf(SlotSwapPercent), -1);
    EXPECT_EQ(formatEngine.driveTokenCount, 1);
    EXPECT_EQ(display(), "CPU:cpu RAM:phy C:- Free");
}

TEST_F(FormatTest, LiteralTextAndStrayPercentSigns) {
    EXPECT_EQ(compile("just text"), (Segments{"just text"}));
    EXPECT_EQ(compile("%CP"), (Segments{"cpu"}));
    EXPECT_EQ(compile("CPU:%CP%%"), (Segments{"CPU:", "cpu"}));
    EXPECT_EQ(compile("%%CP"), (Segments{"cpu"}));
    EXPECT_EQ(compile("%"), (Segments{}));
    // Unknown letters keep the piece without its '%'; case matters.
    EXPECT_EQ(compile("%Z1"), (Segments{"Z1"}));
    EXPECT_EQ(compile("%cp"), (Segments{"cp"}));
    // A known first letter with an unknown second drops the first letter.
    EXPECT_EQ(compile("%CX"), (Segments{"X"}));
    EXPECT_EQ(compile("%C"), (Segments{}));
    // A disk code without an upper-case letter is literal as a whole.
    EXPECT_EQ(compile("%DFc"), (Segments{"DFc"}));
    EXPECT_EQ(compile("%DF"), (Segments{"DF"}));
    EXPECT_EQ(compile("%DXC"), (Segments{"XC"}));
    EXPECT_EQ(compile("%HC"), (Segments{"hdtemp", "C"}));
    EXPECT_EQ(slotOf(SlotDriveTemperature), 0);
}

TEST_F(FormatTest, EachMetricAppearsOnceAtItsFirstOccurrence) {
    EXPECT_EQ(compile("%CP%CP"), (Segments{"cpu"}));
    EXPECT_EQ(compile("%CP a%CP b"), (Segments{"cpu", " a", " b"}));

    EXPECT_EQ(compile("%UD %UW"), (Segments{"uptime", " "}));
    EXPECT_EQ(slotOf(SlotUptimeDays), 0);
    EXPECT_EQ(slotOf(SlotUptimeWeeks), -1);

    compile("%DFC%DFD");
    EXPECT_EQ(formatEngine.segmentCount, 2);
    EXPECT_EQ(formatEngine.driveTokenCount, 2);
    compile("%DFC %DFC");
    EXPECT_EQ(formatEngine.driveTokenCount, 1);
    EXPECT_EQ(compile("%DTC%DUC%DPC%DQC"), (Segments{"--", "--", "--", "--"}));
    EXPECT_EQ(formatEngine.driveTokenCount, 4);
}

TEST_F(FormatTest, IdentityTextsAreCopiedWhenCompiling) {
    EXPECT_EQ(compile("%NP %NU@%NW"), (Segments{"192.168.1.7", " ", "alice", "@", "DESK"}));
    EXPECT_EQ(formatEngine.segmentSizes[2], 6);
    // No address found yet: an empty segment with room for the one the
    // lookup finds later.
    EXPECT_EQ(compile("[%NP]", IdentityTexts{"", nullptr, nullptr}), (Segments{"[", "", "]"}));
    EXPECT_EQ(formatEngine.segmentSizes[1], 16);
    // Never more than one display text.
    const std::string huge(2000, 'u');
    EXPECT_EQ(compile("%NU", IdentityTexts{"", huge.c_str(), ""})[0].size(), 1023u);
}

TEST_F(FormatTest, EscapesBecomeControlCharactersInPlace) {
    compile("A\\nB");
    EXPECT_EQ(display(), "A\r\nB");
    EXPECT_TRUE(formatEngine.multiLine);

    compile("A\\tB");
    EXPECT_EQ(display(), "A\t B");
    EXPECT_FALSE(formatEngine.multiLine);

    compile("C:\\x \\N \\T end\\");
    EXPECT_EQ(display(), "C:\\x \\N \\T end\\");

    // Only the last backslash of a run takes part.
    compile("a\\\\nb");
    EXPECT_EQ(display(), "a\\\r\nb");

    // Identity texts are escaped too: they are in place when compiling.
    compile("%NU", IdentityTexts{"", "bob\\nsmith", ""});
    EXPECT_EQ(display(), "bob\r\nsmith");
    EXPECT_TRUE(formatEngine.multiLine);
}

TEST_F(FormatTest, TableNeverGrowsPastOneHundredSegments) {
    std::string format;
    for (int i = 0; i < 150; ++i) {
        format += "x%CX";  // two literal segments per round
    }
    format += "%CP";
    compile(format.c_str());
    EXPECT_EQ(formatEngine.segmentCount, kMaxSegments);
    // The refused metric has no slot, so no updater can write to it.
    EXPECT_EQ(slotOf(SlotCpuLoad), -1);
}

TEST_F(FormatTest, DisplayTextIsCutAtItsBuffer) {
    compile("%TL%TU");
    std::string long_text(1500, 'a');
    writeSegment(slotOf(SlotLocalTime), long_text.c_str());
    writeSegment(slotOf(SlotUniversalTime), long_text.c_str());
    EXPECT_EQ(std::string(formatEngine.segments[0]).size(), 1023u);
    EXPECT_EQ(display().size(), static_cast<size_t>(kTextSize - 1));

    // The two clocks and a '|' ending before, at and past the buffer's
    // last byte, with and without a segment ending exactly there.
    const struct {
        size_t local, universal;
    } rows[] = {{1000, 21}, {1000, 22}, {1000, 23}, {1000, 24}, {1000, 500},
                {1022, 0},  {1022, 1},  {1023, 0},  {1023, 1},  {0, 1023}};
    for (const auto& row : rows) {
        compile("%TL%TU|");
        writeSegment(slotOf(SlotLocalTime), std::string(row.local, 'a').c_str());
        writeSegment(slotOf(SlotUniversalTime), std::string(row.universal, 'b').c_str());
        const std::string whole =
            std::string(row.local, 'a') + std::string(row.universal, 'b') + "|";
        EXPECT_EQ(display(), whole.substr(0, kTextSize - 1)) << row.local << "+" << row.universal;
    }
}

TEST_F(FormatTest, ANumberIsReadUntilItIsClearedAndOnlyForAMetric) {
    compile("%CP|");
    writeValue(0, 40);
    SegmentValue v = segmentValue(0);
    EXPECT_TRUE(v.read);
    EXPECT_EQ(v.value, 40);
    EXPECT_EQ(v.unit, Unit::Percent);
    clearValue(0);  // the reading failed: no number, not the last one
    EXPECT_FALSE(segmentValue(0).read);
    writeValue(1, 5);
    EXPECT_EQ(segmentValue(1).unit, Unit::None);
    EXPECT_FALSE(segmentValue(1).read);
}

TEST_F(FormatTest, SlotLookupsBeyondEitherEndFindNothing) {
    compile("%DFA%DTZ");
    EXPECT_EQ(diskSlotOf(DiskFree, 'A'), 0);
    EXPECT_EQ(diskSlotOf(DiskTotal, 'Z'), 1);
    // Just past a row's letters lies the neighbouring row's A or Z.
    EXPECT_EQ(diskSlotOf(DiskTotal, '['), -1);
    EXPECT_EQ(diskSlotOf(DiskFree, '@'), -1);
    EXPECT_EQ(slotOf(static_cast<MetricSlot>(-1)), -1);
}

TEST_F(FormatTest, SegmentWritesStayWithinTheirSize) {
    compile("%CP|%DFC");
    writeSegmentf(slotOf(SlotCpuLoad), "%d%%", 123456789);
    EXPECT_EQ(std::string(formatEngine.segments[0]), "123456789");  // 10 bytes
    writeSegment(diskSlotOf(DiskFree, 'C'), "a very long disk text indeed");
    EXPECT_EQ(std::string(formatEngine.segments[2]).size(), 15u);
    // Unused metrics are ignored.
    writeSegment(slotOf(SlotUpload), "ignored");
    writeSegment(-1, "ignored");
    writeSegment(kMaxSegments, "ignored");
    EXPECT_EQ(display(), "123456789|a very long dis");
}

}  // namespace

namespace {

// Formats come from a hand-edited file or any program's broadcast: random
// mixes of codes, percent signs and backslashes must compile, escape and
// assemble without touching memory outside the table (ASan watches).
TEST_F(FormatTest, RandomFormatsStayWithinTheirBuffers) {
    const char alphabet[] = "%%%\\\\CPRDFTUHNBISQWLGMXZcnt AZ";
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    for (int round = 0; round < 2000; ++round) {
        std::string format(next() % 1400, ' ');
        for (char& c : format) {
            c = alphabet[next() % (sizeof alphabet - 1)];
        }
        compile(format.c_str(), IdentityTexts{"1.2.3.4\\n", "u\\t", "\\"});
        for (int slot = 0; slot < SlotCount; ++slot) {
            writeSegment(slotOf(static_cast<MetricSlot>(slot)), "0123456789012345678901234567");
        }
        ASSERT_LE(formatEngine.segmentCount, kMaxSegments);
        ASSERT_LT(display().size(), static_cast<size_t>(kTextSize));
    }
}

}  // namespace
