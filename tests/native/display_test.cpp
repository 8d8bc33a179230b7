#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "display/placement.h"
#include "display/render.h"
#include "display/runs.h"
#include "display/tooltip.h"
#include "format/history.h"
#include "format/warnings.h"
#include "fake_shell.h"
#include "settings/settings.h"
#include "settings/settings_os.h"

extern int issuedWindowSizes;  // render_native.cpp

namespace {

const RECT kScreen = {0, 0, 1024, 768};

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakeshell::reset();
        settings = Settings{};
        settings.width = 50;
        settings.height = 50;
        settings.styleType = STYLE_LABEL;
        hidden = false;
        render = RenderState{};
        issuedWindowSizes = 0;
        setStandInVirtualScreen(1024, 768);
    }
};

struct Measured {
    std::string line;
    int longest;
    int lines;
};

Measured measure(const char* text) {
    Measured m;
    m.line = measureLines(text, &m.longest, &m.lines);
    return m;
}

TEST(MeasureLines, CountsCrLfLinesAndKeepsTheEarlierOfEqualLines) {
    Measured empty = measure("");
    EXPECT_EQ(empty.lines, 0);
    EXPECT_EQ(empty.longest, 0);
    EXPECT_EQ(empty.line, "");

    Measured single = measure("CPU: 5%");
    EXPECT_EQ(single.lines, 1);
    EXPECT_EQ(single.line, "CPU: 5%");
    EXPECT_EQ(single.longest, 7);

    // Later lines keep their LF, which is measured with them.
    Measured crlf = measure("ab\r\nabc\r\nx");
    EXPECT_EQ(crlf.lines, 3);
    EXPECT_EQ(crlf.line, "\nabc");
    EXPECT_EQ(crlf.longest, 4);

    Measured tie = measure("abc\r\nab\r\nxy");
    EXPECT_EQ(tie.line, "abc");  // "\nab" is as long, not longer
    EXPECT_EQ(tie.lines, 3);
}

TEST(MeasureLines, CutsTextLongerThanTheScratchBuffer) {
    std::string huge(4000, 'w');
    Measured m = measure(huge.c_str());
    EXPECT_EQ(m.lines, 1);
    EXPECT_EQ(m.longest, 1023);
}

// Each justification reaches DrawText as its own alignment, with no other
// bit of the number (0x400 would measure instead of drawing); one line is
// centred vertically, tabs always expand.
TEST(DrawFlags, EachJustificationPassesItsAlignmentAlone) {
    // An '&' is drawn as written, never as a mnemonic mark.
    const unsigned always = kDrawTextExpandTabs | kDrawTextNoPrefix;
    const unsigned oneLine = always | kDrawTextSingleLine | kDrawTextVCenter;
    const struct {
        int justification;
        unsigned alignment;
    } rows[] = {{0, 0}, {1, kDrawTextCenter}, {2, kDrawTextRight}, {0x400 | 2, kDrawTextRight}};
    for (const auto& row : rows) {
        EXPECT_EQ(textDrawFormat(row.justification, false), row.alignment | oneLine)
            << row.justification;
        EXPECT_EQ(textDrawFormat(row.justification, true), row.alignment | always)
            << row.justification;
    }
}

TEST_F(DisplayTest, AutoResizeTargetsFollowTheMode) {
    render.textInset = 3;
    int w = 0;
    int h = 0;
    EXPECT_FALSE(autoResizeTarget(0, 100, 14, 2, &w, &h));
    EXPECT_FALSE(autoResizeTarget(4, 100, 14, 2, &w, &h));

    ASSERT_TRUE(autoResizeTarget(1, 100, 14, 2, &w, &h));
    EXPECT_EQ(w, 110);
    EXPECT_EQ(h, 50);
    ASSERT_TRUE(autoResizeTarget(2, 100, 14, 2, &w, &h));
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 34);
    ASSERT_TRUE(autoResizeTarget(3, 100, 14, 2, &w, &h));
    EXPECT_EQ(w, 110);
    EXPECT_EQ(h, 34);

    render.textInset = 0;
    ASSERT_TRUE(autoResizeTarget(3, 0, 0, 0, &w, &h));  // empty text
    EXPECT_EQ(w, 10);
    EXPECT_EQ(h, 10);

    // A huge font: held to the 1024x768 screen without overflowing, and
    // once the window has that size the next paint's measure leaves it there.
    ASSERT_TRUE(autoResizeTarget(3, 2147483647, 1 << 30, 40, &w, &h));
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    EXPECT_TRUE(resizeWindow(w, h));
    ASSERT_TRUE(autoResizeTarget(3, 2147483647, 1 << 30, 40, &w, &h));
    EXPECT_FALSE(resizeWindow(w, h));
}

TEST_F(DisplayTest, ResizeWindowOnlyActsOnADifferentSize) {
    EXPECT_FALSE(resizeWindow(50, 50));
    EXPECT_EQ(issuedWindowSizes, 0);

    EXPECT_TRUE(resizeWindow(5, 5));
    EXPECT_EQ(settings.width, 10);
    EXPECT_EQ(settings.height, 10);
    EXPECT_EQ(issuedWindowSizes, 1);
    EXPECT_TRUE(resizeWindow(10, 11));  // one side is enough
    EXPECT_TRUE(resizeWindow(12, 11));

    // Held to the 1024x768 virtual screen, whatever is asked.
    EXPECT_TRUE(resizeWindow(2147483647, 769));
    EXPECT_EQ(settings.width, 1024);
    EXPECT_EQ(settings.height, 768);
}

TEST_F(DisplayTest, EdgeHideFindsTheEdgeTheWindowIsFlushWith) {
    settings.autoHide = true;
    settings.width = 100;
    settings.height = 20;
    hidden = true;
    POINT at = {};

    settings.x = 0;  // top-left corner: the side wins
    settings.y = 0;
    ASSERT_TRUE(edgeHideAt(kScreen, &at));
    EXPECT_EQ(at.x, 1 - 100);
    EXPECT_EQ(at.y, 0);

    settings.x = 924;
    settings.y = 300;
    ASSERT_TRUE(edgeHideAt(kScreen, &at));
    EXPECT_EQ(at.x, 1023);
    EXPECT_EQ(at.y, 300);

    settings.x = 400;
    settings.y = 0;
    ASSERT_TRUE(edgeHideAt(kScreen, &at));
    EXPECT_EQ(at.x, 400);
    EXPECT_EQ(at.y, 1 - 20);

    settings.y = 748;
    ASSERT_TRUE(edgeHideAt(kScreen, &at));
    EXPECT_EQ(at.y, 767);

    // Any size a file or command gives: no int overflow (UBSan saw both),
    // no match through a wrapped sum, a position cut to the coordinate range.
    settings.width = INT_MAX;
    settings.x = 10;
    EXPECT_FALSE(edgeHideAt(RECT{-3840, 0, -1920, 1080}, &at));
    settings.width = INT_MIN;
    settings.x = 0;
    ASSERT_TRUE(edgeHideAt(kScreen, &at));
    EXPECT_EQ(at.x, INT_MAX);
}

TEST_F(DisplayTest, EdgeHideNeedsAutoHideAFloatingWindowAndAFlushEdge) {
    settings.width = 100;
    settings.height = 20;
    settings.x = 0;
    settings.y = 0;
    hidden = true;
    POINT at = {7, 7};

    EXPECT_FALSE(edgeHideAt(kScreen, &at));  // auto-hide off
    settings.autoHide = true;
    settings.inSlit = true;
    EXPECT_FALSE(edgeHideAt(kScreen, &at));
    settings.inSlit = false;

    settings.x = 1;  // one pixel in
    settings.y = 5;
    EXPECT_FALSE(edgeHideAt(kScreen, &at));
    EXPECT_EQ(at.x, 7);

    // Flush but not hidden: the caller's point stays.
    settings.x = 0;
    hidden = false;
    EXPECT_TRUE(edgeHideAt(kScreen, &at));
    EXPECT_EQ(at.x, 7);
    EXPECT_EQ(at.y, 7);
}

TEST_F(DisplayTest, DisplayChangeKeepsDistanceFromTheNearerFarEdge) {
    settings.x = 700;
    settings.y = 100;
    reanchorToDisplay(1024, 768, 1280, 1024);
    EXPECT_EQ(settings.x, 956);
    EXPECT_EQ(settings.y, 100);

    settings.x = 512;  // exactly half: stays
    settings.y = 600;
    reanchorToDisplay(1024, 768, 1280, 1024);
    EXPECT_EQ(settings.x, 512);
    EXPECT_EQ(settings.y, 856);
}

TEST(OffScreen, AWindowOnNoMonitorMovesIntoTheNearestWorkArea) {
    auto place = [](std::initializer_list<MonitorArea> monitors, POINT at, int w = 180,
                    int h = 30) {
        bringOntoMonitors(monitors.begin(), static_cast<int>(monitors.size()), w, h, &at);
        return std::to_string(at.x) + "," + std::to_string(at.y);
    };
    const MonitorArea primary = {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}};
    const MonitorArea right = {{1920, 0, 3200, 1024}, {1920, 0, 3200, 1024}};
    const MonitorArea above = {{0, -1024, 1280, 0}, {0, -1024, 1280, -40}};

    // Showing on some monitor, even one pixel of it: left where it is.
    EXPECT_EQ(place({primary}, {-179, 500}), "-179,500");
    EXPECT_EQ(place({primary, right}, {3000, 1000}), "3000,1000");
    // Saved left of and above the primary monitor, as from a monitor now gone.
    EXPECT_EQ(place({primary}, {-2000, -1500}), "0,0");
    EXPECT_EQ(place({primary}, {500, 1080}), "500,1010");  // into the work area
    // The nearest monitor takes it, the primary one on a tie.
    EXPECT_EQ(place({primary, right}, {3500, 200}), "3020,200");
    EXPECT_EQ(place({primary, above}, {300, -2000}), "300,-1024");
    EXPECT_EQ(place({primary, above}, {-500, -40}), "0,-70");
    EXPECT_EQ(place({primary, MonitorArea{{-1920, 0, 0, 1080}, {-1920, 0, 0, 1080}}},
                    {-90, 2000}),
              "0,1010");
    // Larger than the work area: its top-left corner shows.
    EXPECT_EQ(place({primary}, {5000, 5000}, 1920, 1080), "0,0");
    // Any number a file holds, without overflow.
    EXPECT_EQ(place({primary}, {INT_MAX, INT_MIN}), "1740,0");
    EXPECT_EQ(place({}, {-5000, 0}), "-5000,0");  // nothing known: left alone
}

TEST_F(DisplayTest, OpacityTakesTheLowEightBitsOfAlpha) {
    settings.alpha = 300;
    EXPECT_EQ(layeredAlpha(), 255);  // transparency off
    settings.transparency = true;
    EXPECT_EQ(layeredAlpha(), 44);
    settings.alpha = 200;
    EXPECT_EQ(layeredAlpha(), 200);
}

TEST_F(DisplayTest, AltSizesFromTheCornerUnlessThePositionIsLocked) {
    const struct {
        bool alt, locked;
        int hit;
    } rows[] = {{false, false, kHitCaption},
                {true, false, kHitBottomRight},
                {true, true, kHitCaption},
                {false, true, kHitCaption}};
    for (const auto& row : rows) {
        settings.lockPos = row.locked;
        EXPECT_EQ(placementHitTest(row.alt), row.hit) << row.alt << row.locked;
    }
}

TEST_F(DisplayTest, UnknownStyleIndexKeepsThePreviousStyle) {
    refreshStyle();
    EXPECT_EQ(render.textInset, 3);
    EXPECT_EQ(render.style.textColor, fakeshell::style(STYLE_LABEL).textColor);

    settings.styleType = 99;  // "@TelvaneStyleType 99"
    refreshStyle();
    EXPECT_EQ(render.style.textColor, fakeshell::style(STYLE_LABEL).textColor);
    EXPECT_STREQ(render.style.fontFace, "Face 4");

    // The reference font still comes from the toolbar; the colour from the
    // kept copy, since the shell has no block 99.
    settings.useRefFont = true;
    PaintFont font;
    choosePaintFont(&font);
    EXPECT_EQ(font.height, fakeshell::style(STYLE_TOOLBAR).fontHeight);
    EXPECT_STREQ(font.face, "Face 1");
    EXPECT_EQ(font.color, fakeshell::style(STYLE_LABEL).textColor);

    // The shell answers 12 and 14 with a pointer to an integer: no block
    // is copied from it (ASan saw a 300-byte read of a 4-byte value).
    for (int integerIndex : {SETTING_BEVEL_WIDTH, SETTING_BORDER_WIDTH}) {
        settings.styleType = integerIndex;
        refreshStyle();
        choosePaintFont(&font);
        EXPECT_STREQ(render.style.fontFace, "Face 4");
        EXPECT_EQ(font.color, fakeshell::style(STYLE_LABEL).textColor);
    }
}

TEST_F(DisplayTest, ReferenceFontIsReadAfreshAndBounded) {
    settings.useRefFont = true;
    settings.styleType = STYLE_CLOCK;
    settings.fontHeight = 30;  // not used with the reference font
    PaintFont font;
    choosePaintFont(&font);
    EXPECT_EQ(font.height, 11);
    EXPECT_EQ(font.color, fakeshell::style(STYLE_CLOCK).textColor);

    // A changed shell style shows at the next paint without a refresh.
    std::strcpy(fakeshell::style(STYLE_TOOLBAR).fontFace, "Newer");
    choosePaintFont(&font);
    EXPECT_STREQ(font.face, "Newer");

    // A face field the shell did not terminate is cut, not overrun.
    std::memset(fakeshell::style(STYLE_TOOLBAR).fontFace, 'z', kFontFaceSize);
    choosePaintFont(&font);
    EXPECT_EQ(std::strlen(font.face), static_cast<size_t>(kFontFaceSize - 1));
}

TEST(Tooltip, OneToolFollowsTheWindowAndIsLeftAloneWhenNothingChanged) {
    TooltipTool tool{};
    const RECT small = {3, 3, 97, 17};
    const RECT large = {3, 3, 147, 17};

    EXPECT_EQ(trackTooltip(&tool, small, "CPU: 5%"), unsigned{TipAdd});
    EXPECT_EQ(trackTooltip(&tool, small, "CPU: 5%"), 0u);

    EXPECT_EQ(trackTooltip(&tool, large, "CPU: 5%"), unsigned{TipMove});
    EXPECT_EQ(tool.rect.right, 147);
    EXPECT_EQ(trackTooltip(&tool, large, "CPU: 7%"), unsigned{TipText});
    EXPECT_STREQ(tool.text, "CPU: 7%");
    EXPECT_EQ(trackTooltip(&tool, small, "CPU: 9%"), unsigned{TipMove | TipText});
    // Any one side moved is a move.
    for (const RECT& moved :
         {RECT{4, 3, 97, 17}, RECT{3, 4, 97, 17}, RECT{3, 3, 98, 17}, RECT{3, 3, 97, 18}}) {
        EXPECT_EQ(trackTooltip(&tool, moved, "CPU: 9%"), unsigned{TipMove});
        EXPECT_EQ(trackTooltip(&tool, small, "CPU: 9%"), unsigned{TipMove});
    }
}

TEST(Tooltip, LongTextIsCutAndNotResentEveryPaint) {
    TooltipTool tool{};
    const RECT rect = {0, 0, 10, 10};
    std::string text(1000, 'q');
    trackTooltip(&tool, rect, text.c_str());
    EXPECT_EQ(std::strlen(tool.text), 258u);
    EXPECT_EQ(trackTooltip(&tool, rect, text.c_str()), 0u);
}

constexpr MetricSlot kCp = metricSlot("CP");
constexpr MetricSlot kRp = metricSlot("RP");
constexpr MetricSlot kH = metricSlot("H");

// The line as runs: texts in their colours, graphs and meters.
class RunsTest : public ::testing::Test {
protected:
    static constexpr COLORREF kText = RGB(0, 0, 0);
    static constexpr COLORREF kWarning = RGB(255, 48, 48);
    void TearDown() override {
        setWarningRules("");
        freeSegments();
        freeGraphHistories();
    }
    void compile(const char* format) {
        freeSegments();
        compileFormat(format, IdentityTexts{"", "", ""});
        applyEscapes();
    }
    // "kind:text-or-width:colour@line" per run.
    std::string described(bool* needed = nullptr) {
        const bool built = buildRuns(kText, kWarning, &runs_);
        if (needed) {
            *needed = built;
        }
        std::string out;
        for (int i = 0; i < runs_.count; ++i) {
            const ::Run& run = runs_.runs[i];
            out += i ? " " : "";
            out += run.kind == RunKind::Text    ? "T:" + std::string(runs_.text + run.offset, run.length)
                   : run.kind == RunKind::Graph ? "G:" + std::to_string(run.width)
                                                : "M:" + std::to_string(run.width);
            out += run.colour == kText ? "" : run.colour == kWarning ? ":warn" : ":own";
            out += "@" + std::to_string(run.line);
        }
        return out;
    }
    Runs runs_;
};

TEST_F(RunsTest, TextInOneColourNeedsNoRuns) {
    bool needed = true;
    compile("CPU %CP RAM %RP");
    EXPECT_EQ(described(&needed), "");
    EXPECT_FALSE(needed);
    // A rule in force but not in effect changes nothing either, nor one
    // in the text's own colour.
    setWarningRules("CP>50 RP>50=#000000");
    writeValue(slotOf(kCp), 20);
    writeValue(slotOf(kRp), 60);
    updateWarnings(0, 0);
    EXPECT_EQ(described(&needed), "T:CPU cpu RAM phy@0");
    EXPECT_FALSE(needed);
}

TEST_F(RunsTest, WarnedTextsGraphsAndMetersInTheirColours) {
    setWarningRules("CP>50 RP>10=#00FF00 H>1");
    compile("CPU %CP %GCP %MRP60 %GID|%H");
    writeSegment(slotOf(kCp), "60%");
    writeValue(slotOf(kCp), 60);
    writeValue(slotOf(kRp), 20);
    writeValue(slotOf(kH), 40);
    updateWarnings(0, 0);
    bool needed = false;
    EXPECT_EQ(described(&needed),
              "T:CPU @0 T:60%:warn@0 T: @0 G:40:warn@0 T: @0 M:60:own@0 T: @0 G:40@0 T:|@0 "
              "T:hdtemp:warn@0");
    EXPECT_TRUE(needed);

    // Several lines: a run ends at each break, graphs keep their line.
    compile("A%GCP\\nB %MRP\\n\\n%GH");
    EXPECT_EQ(described(), "T:A@0 G:40:warn@0 T:B @1 M:40:own@1 G:40:warn@3");
    EXPECT_EQ(runs_.lines, 4);
    // On one line, control characters are text, as DrawText shows them.
    compile("%GCP\\tx");
    EXPECT_EQ(described(), "G:40:warn@0 T:\t x@0");
}

TEST_F(RunsTest, LongLinesStopAtTheirBuffers) {
    std::string format;
    for (int i = 0; i < 60; ++i) {
        format += "%GCP4%MCP4a";  // once each, then text
    }
    format += std::string(1500, 'w');
    compile(format.c_str());
    described();
    EXPECT_LE(runs_.count, kMaxRuns);
    EXPECT_LT(runs_.textUsed, kTextSize);
    EXPECT_EQ(runs_.text[runs_.textUsed], '\0');

    // Each graph, meter and colour change is a run: at most kMaxRuns.
    setWarningRules("CP>0");
    std::string many;
    for (int i = 0; i < 150; ++i) {
        many += "%CPx";
    }
    compile(many.c_str());
    writeValue(slotOf(kCp), 1);
    updateWarnings(0, 0);
    described();
    EXPECT_LE(runs_.count, kMaxRuns);
}

TEST_F(RunsTest, EachLineIsPlacedByTheJustification) {
    compile("ab%GCP10\\nc%MRP20");
    described();
    const int widths[] = {14, 10, 6, 20};  // "ab", graph, "c", meter
    for (int i = 0; i < runs_.count; ++i) {
        runs_.runs[i].width = widths[i];
    }
    struct Row {
        int justification;
        int x[4];
    };
    const Row rows[] = {{0, {0, 14, 0, 6}},
                        {1, {38, 52, 37, 43}},  // lines 24 and 26 wide in 100
                        {2, {76, 90, 74, 80}},
                        {1 | 4, {38, 52, 37, 43}}};
    for (const Row& row : rows) {
        EXPECT_EQ(layoutRuns(&runs_, 100, row.justification), 26);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(runs_.runs[i].x, row.x[i]) << row.justification << " run " << i;
        }
    }
    // Wider than the window: centred on it, as DrawText centres.
    EXPECT_EQ(layoutRuns(&runs_, 10, 1), 26);
    EXPECT_EQ(runs_.runs[2].x, -8);
}

TEST(MeterAndColumns, FillToTheirShareOfTheScale) {
    struct Row {
        double value;
        double scale;
        bool read;
        int fill;    // of 38
        int column;  // of 11
    };
    const Row rows[] = {
        {0, 100, true, 0, 1},   // a reading of 0 still shows in a graph
        {50, 100, true, 19, 6}, {100, 100, true, 38, 11}, {250, 100, true, 38, 11},
        {-5, 100, true, 0, 1},  {7, 0, true, 0, 1},       {50, 100, false, 0, -1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(meterFill(row.value, row.scale, row.read, 38), row.fill) << row.value;
        const float reading = row.read ? static_cast<float>(row.value) : std::nanf("");
        EXPECT_EQ(columnHeight(reading, row.scale, 11), row.column) << row.value;
    }
    EXPECT_EQ(columnHeight(50, 100, 0), -1);  // no room inside the outline
    EXPECT_EQ(meterFill(50, 100, true, -2), 0);
}

}  // namespace
