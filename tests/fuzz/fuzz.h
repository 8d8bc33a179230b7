// Shared by the fuzz targets: the input cut into texts, a check that
// aborts (so libFuzzer keeps the input), and the native half of what the
// plugin's window does with its record and display text.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "display/placement.h"
#include "display/render.h"
#include "display/runs.h"
#include "display/tooltip.h"
#include "format/format.h"
#include "format/history.h"
#include "format/warnings.h"
#include "plugin/frame.h"
#include "settings/menu.h"
#include "settings/settings.h"

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

inline std::vector<std::string> splitAtNul(const uint8_t* data, size_t size) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            parts.emplace_back();
        } else {
            parts.back() += static_cast<char>(data[i]);
        }
    }
    return parts;
}

inline bool terminatedWithin(const char* text, size_t size) {
    return std::memchr(text, '\0', size) != nullptr;
}

inline void checkTextSettings() {
    FUZZ_CHECK(terminatedWithin(settings.fontFace, kFontFaceSize));
    FUZZ_CHECK(terminatedWithin(settings.strFormat, kFormatTextSize));
    FUZZ_CHECK(terminatedWithin(settings.localTimeFormat, kFormatTextSize));
    FUZZ_CHECK(terminatedWithin(settings.universalTimeFormat, kFormatTextSize));
    FUZZ_CHECK(terminatedWithin(settings.timeZone, kTimeZoneSize));
    FUZZ_CHECK(terminatedWithin(settings.localeString, kFormatTextSize));
    FUZZ_CHECK(terminatedWithin(settings.warnings, kFormatTextSize));
    FUZZ_CHECK(terminatedWithin(settingsPath, kPathSize));
}

// A tick's readings for the graphs and the warning rules (a second a
// tick), then the runs a paint cuts the line into, with what drawing a
// graph or meter asks of them (glyphs 8 pixels wide, lines 13 high).
inline void paintRunsNatively() {
    static uint32_t clockMs;
    clockMs += 1000;
    recordGraphReadings();
    const int delay = heldWithin(settings.warningDelay, kWarningDelayRange);
    updateWarnings(clockMs, static_cast<uint32_t>(delay) * 1000u);
    static Runs runs;
    buildRuns(RGB(0, 0, 0), settings.warningColor, &runs);
    FUZZ_CHECK(runs.count >= 0 && runs.count <= kMaxRuns);
    FUZZ_CHECK(runs.textUsed >= 0 && runs.textUsed < kTextSize && runs.text[runs.textUsed] == '\0');
    for (int i = 0; i < runs.count; ++i) {
        Run& run = runs.runs[i];
        FUZZ_CHECK(run.line >= 0 && run.line < runs.lines);
        if (run.kind == RunKind::Text) {
            FUZZ_CHECK(run.offset >= 0 && run.length > 0 && run.offset + run.length <= runs.textUsed);
            run.width = 8 * run.length;
            continue;
        }
        FUZZ_CHECK(run.width >= kMinFormWidth && run.width <= kMaxFormWidth);
        const int inner = 13 - 2 * kFormBorder;
        const double scale = graphScale(run.segment);
        for (int age = 0; age < graphColumns(run.width); ++age) {
            const int height = columnHeight(graphReading(run.segment, age), scale, inner);
            FUZZ_CHECK(height >= -1 && height <= inner);
        }
        const SegmentValue v = segmentValue(run.segment);
        const int fill = meterFill(v.value, meterScale(run.segment), v.read, graphColumns(run.width));
        FUZZ_CHECK(fill >= 0 && fill <= graphColumns(run.width));
    }
    layoutRuns(&runs, settings.width, settings.justification);
}

// The portable half of a paint: display text, font, tooltip, measuring
// and the resize it may ask for (glyphs taken as 8x16); then the edge test.
inline void paintNatively() {
    assembleDisplayText();
    const char* text = formatEngine.displayText;
    FUZZ_CHECK(terminatedWithin(text, kTextSize));
    PaintFont font;
    choosePaintFont(&font);
    FUZZ_CHECK(terminatedWithin(font.face, sizeof font.face));
    static TooltipTool tool;
    trackTooltip(&tool, RECT{0, 0, settings.width, settings.height}, text);
    FUZZ_CHECK(terminatedWithin(tool.text, sizeof tool.text));
    int longest = 0;
    int lines = 0;
    const char* line = measureLines(text, &longest, &lines);
    FUZZ_CHECK(std::strlen(line) == static_cast<size_t>(longest) &&
               static_cast<size_t>(longest) <= std::strlen(text));
    int width = 0;
    int height = 0;
    if (autoResizeTarget(settings.autoResize, longest * 8, 16, lines, &width, &height)) {
        resizeWindow(width, height);
    }
    textDrawFormat(settings.justification, formatEngine.multiLine);
    paintRunsNatively();

    // The auto-hide poll's edge test, on the primary screen and on the second of two
    // screens left of it.
    hidden = true;
    POINT at;
    edgeHideAt(RECT{0, 0, 1024, 768}, &at);
    edgeHideAt(RECT{-3840, 0, -1920, 1080}, &at);
}
