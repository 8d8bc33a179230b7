#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "format/format.h"
#include "format/history.h"
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
    void TearDown() override {
        freeSegments();
        freeGraphHistories();
    }

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

// "%G"/"%M", a code drawn to scale and up to three digits of width; any
// other piece after "%G" or "%M" is text, as it always was.
TEST_F(FormatTest, GraphsAndMetersOfCodesDrawnToScale) {
    constexpr Form T = Form::Text, H = Form::Hidden, G = Form::Graph, M = Form::Meter;
    struct Row {
        const char* format;
        Segments segments;
        std::vector<Form> forms;
        std::vector<int> widths;  // of the graphs and meters, in order
    };
    const Row rows[] = {
        // A token shown only as a graph or meter gets a hidden segment at the end.
        {"%GCP", {"", "cpu"}, {G, H}, {40}},
        {"%GRP60 RAM", {"", " RAM", "phy"}, {G, T, H}, {60}},
        {"%MBP30%GDQC", {"", "", "bat", "--"}, {M, G, H, H}, {30, 40}},
        {"%GH%MIU", {"", "", "hdtemp", "0KB"}, {G, M, H, H}, {40, 40}},
        // With its text shown too, the text is the source, where it stands.
        {"%GCP %CP", {"", " ", "cpu"}, {G, T, T}, {40}},
        {"%CP %GCP %MCP", {"cpu", " ", "", " ", ""}, {T, T, G, T, M}, {40, 40}},
        // Each form once; its width is read, and text follows.
        {"%GCP%GCP7x %MCP%MCP", {"", "x ", "", "cpu"}, {G, T, M, H}, {40, 40}},
        // Widths: one to three digits, held to 4..400.
        {"%GCP0", {"", "cpu"}, {G, H}, {4}},
        {"%GCP999", {"", "cpu"}, {G, H}, {400}},
        {"%GCP1234", {"", "4", "cpu"}, {G, T, H}, {123}},
        {"%MCP007.", {"", ".", "cpu"}, {M, T, H}, {7}},
        // Not a code drawn to scale, or no drive letter: text as before.
        {"%GTL", {"GTL"}, {T}, {}},
        {"%GCN %MRT", {"GCN ", "MRT"}, {T, T}, {}},
        {"%GDQ %GDQc", {"GDQ ", "GDQc"}, {T, T}, {}},
        {"%G%M5%GX", {"G", "M5", "GX"}, {T, T, T}, {}},
        {"%gCP", {"gCP"}, {T}, {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(compile(row.format), row.segments) << row.format;
        std::vector<Form> forms;
        std::vector<int> widths;
        for (int i = 0; i < formatEngine.segmentCount; ++i) {
            const Form form = formatEngine.forms[i];
            forms.push_back(form);
            if (form == G || form == M) {
                widths.push_back(formatEngine.formWidths[i]);
                const int source = formatEngine.formSources[i];
                ASSERT_GE(source, 0) << row.format;
                EXPECT_EQ(formatEngine.segmentTokens[source], formatEngine.segmentTokens[i]);
            }
        }
        EXPECT_EQ(forms, row.forms) << row.format;
        EXPECT_EQ(widths, row.widths) << row.format;
        EXPECT_EQ(formatEngine.hasForms, !row.widths.empty()) << row.format;
    }

    // Graphs and meters show no text, nor does a hidden token; its updater
    // runs, and the graph's number is its token's.
    compile("A%MRP B%GDQC");
    EXPECT_EQ(display(), "A B");
    EXPECT_NE(formatEngine.updaters & (1u << UpdateMemory), 0u);
    EXPECT_EQ(formatEngine.driveTokenCount, 1);
    EXPECT_EQ(formatEngine.letters[3], 'C');
    writeValue(diskSlotOf(DiskUsedPercent, 'C'), 83);
    const SegmentValue graph = segmentValue(3);
    EXPECT_TRUE(graph.read);
    EXPECT_EQ(graph.value, 83);
    EXPECT_EQ(graph.unit, Unit::Percent);
    EXPECT_FALSE(segmentValue(1).read);  // the meter's memory: not read yet

    // A full table leaves a graph without a source: it stays empty.
    std::string format;
    for (int i = 0; i < 99; ++i) {
        format += "x%CX";
    }
    compile((format + "%GCP").c_str());
    EXPECT_EQ(formatEngine.segmentCount, kMaxSegments);
    EXPECT_EQ(formatEngine.formSources[kMaxSegments - 1], -1);
    EXPECT_FALSE(segmentValue(kMaxSegments - 1).read);
}

// The readings of a graph, as the main tick gives them: one column each,
// kept while a format shows the graph, at its new width.
TEST_F(FormatTest, AGraphKeepsItsReadingsWhileItsTokenIsShown) {
    auto tick = [](double cpu) {
        writeValue(slotOf(SlotCpuLoad), cpu);
        recordGraphReadings();
    };
    auto readings = [](int segment, int count) {
        std::vector<std::string> out;
        for (int age = 0; age < count; ++age) {
            const float r = graphReading(segment, age);
            out.push_back(std::isnan(r) ? "-" : std::to_string(static_cast<int>(r)));
        }
        return out;
    };
    using Texts = std::vector<std::string>;
    compile("%GCP6");  // four columns inside the outline
    EXPECT_EQ(readings(0, 2), (Texts{"-", "-"}));  // empty until the first reading
    for (double cpu : {10, 20, 30, 40, 50}) {
        tick(cpu);
    }
    EXPECT_EQ(readings(0, 5), (Texts{"50", "40", "30", "20", "-"}));
    clearValue(slotOf(SlotCpuLoad));  // a tick without a reading is a gap
    recordGraphReadings();
    EXPECT_EQ(readings(0, 5), (Texts{"-", "50", "40", "30", "-"}));

    // A format change that keeps the graph keeps them, wider or narrower.
    compile("x %GCP8 %CP");
    EXPECT_EQ(readings(1, 7), (Texts{"-", "50", "40", "30", "-", "-", "-"}));
    tick(60);
    EXPECT_EQ(readings(1, 6), (Texts{"60", "-", "50", "40", "30", "-"}));
    compile("%GCP4");
    EXPECT_EQ(readings(0, 3), (Texts{"60", "-", "-"}));

    // A format without the graph drops them; so does the plugin's end.
    compile("%MCP");
    compile("%GCP");
    EXPECT_EQ(readings(0, 1), (Texts{"-"}));
    tick(5);
    freeGraphHistories();
    EXPECT_EQ(readings(0, 1), (Texts{"-"}));
    EXPECT_TRUE(std::isnan(graphReading(-1, 0)) && std::isnan(graphReading(kMaxSegments, 0)));
}

TEST_F(FormatTest, GraphsAndMetersScaleToTheirUnit) {
    // Segments: graphs of CP, H and ID (two columns), meters of ID and CP.
    compile("%GCP%GH%GID4%MID%MCP");
    const int cpuGraph = 0, driveGraph = 1, downGraph = 2, downMeter = 3, cpuMeter = 4;
    EXPECT_EQ(graphScale(cpuGraph), 100);
    EXPECT_EQ(graphScale(driveGraph), 100);
    EXPECT_EQ(meterScale(cpuMeter), 100);
    EXPECT_EQ(graphScale(downGraph), 1);  // nothing read: at least 1 KB/s
    EXPECT_EQ(meterScale(downMeter), 1);
    for (double kb : {0.5, 300.0, 20.0}) {
        writeValue(slotOf(SlotDownload), kb);
        recordGraphReadings();
    }
    EXPECT_EQ(graphScale(downGraph), 300);
    writeValue(slotOf(SlotDownload), 10);
    recordGraphReadings();
    // The graph scales to what it shows; the meter to the largest since the
    // start, or the figure now when that is larger.
    EXPECT_EQ(graphScale(downGraph), 20);
    EXPECT_EQ(meterScale(downMeter), 300);
    writeValue(slotOf(SlotDownload), 450);
    EXPECT_EQ(meterScale(downMeter), 450);
    freeGraphHistories();
    writeValue(slotOf(SlotDownload), 0.25);
    EXPECT_EQ(meterScale(downMeter), 1);
    // Only graphs and meters have scales.
    EXPECT_EQ(graphScale(cpuMeter), 1);
    EXPECT_EQ(meterScale(-1), 1);
}

}  // namespace

namespace {

// Formats come from a hand-edited file or any program's broadcast: random
// mixes of codes, percent signs and backslashes must compile, escape and
// assemble without touching memory outside the table (ASan watches).
TEST_F(FormatTest, RandomFormatsStayWithinTheirBuffers) {
    const char alphabet[] = "%%%\\\\CPRDFTUHNBISQWLGMXZcnt AZ9";
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
        recordGraphReadings();
        ASSERT_LE(formatEngine.segmentCount, kMaxSegments);
        ASSERT_LT(display().size(), static_cast<size_t>(kTextSize));
    }
}

}  // namespace
