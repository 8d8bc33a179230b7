#include "display/runs.h"

#include <cmath>
#include <cstdint>

#include "format/warnings.h"

namespace {

COLORREF colourOf(int segment, COLORREF textColour, COLORREF ruleColour) {
    const MetricSlot slot = formatEngine.segmentTokens[segment];
    COLORREF colour = textColour;
    if (slot >= 0) {
        warningColour(slot, formatEngine.letters[segment], ruleColour, &colour);
    }
    return colour;
}

Run* newRun(Runs* runs, RunKind kind, int line, COLORREF colour) {
    if (runs->count >= kMaxRuns) {
        return nullptr;
    }
    Run& run = runs->runs[runs->count++];
    run = Run{kind, line, runs->textUsed, 0, -1, colour, 0, 0};
    return &run;
}

// Appends one character to the text run in `colour` on `line`, the last
// run when it is that one, else a new one; false when there is no room.
bool appendChar(Runs* runs, int line, COLORREF colour, char c) {
    if (runs->textUsed >= kTextSize - 1) {
        return false;
    }
    Run* last = runs->count > 0 ? &runs->runs[runs->count - 1] : nullptr;
    if (last == nullptr || last->kind != RunKind::Text || last->line != line ||
        last->colour != colour) {
        last = newRun(runs, RunKind::Text, line, colour);
        if (last == nullptr) {
            return false;
        }
    }
    runs->text[runs->textUsed++] = c;
    runs->text[runs->textUsed] = '\0';
    ++last->length;
    return true;
}

}  // namespace

bool buildRuns(COLORREF textColour, COLORREF ruleColour, Runs* runs) {
    const FormatEngine& fe = formatEngine;
    runs->count = 0;
    runs->lines = 1;
    runs->textUsed = 0;
    runs->text[0] = '\0';
    // The usual line: nothing to cut, and every paint asks.
    if (!fe.hasForms && !anyWarningInEffect()) {
        return false;
    }
    bool needed = fe.hasForms;
    int line = 0;
    bool full = false;
    for (int i = 0; i < fe.segmentCount && i < kMaxSegments && !full; ++i) {
        const char* segment = fe.segments[i];
        if (segment == nullptr || fe.forms[i] == Form::Hidden) {
            continue;
        }
        const COLORREF colour = colourOf(i, textColour, ruleColour);
        if (fe.forms[i] == Form::Graph || fe.forms[i] == Form::Meter) {
            Run* run = newRun(runs, fe.forms[i] == Form::Graph ? RunKind::Graph : RunKind::Meter,
                              line, colour);
            if (run == nullptr) {
                break;
            }
            run->segment = i;
            run->width = fe.formWidths[i];
            continue;
        }
        needed = needed || (colour != textColour && segment[0] != '\0');
        for (size_t k = 0; segment[k] != '\0'; ++k) {
            // As DrawText breaks a text of several lines: CR LF, CR or LF.
            if (fe.multiLine && (segment[k] == '\r' || segment[k] == '\n')) {
                if (segment[k] == '\r' && segment[k + 1] == '\n') {
                    ++k;
                }
                ++line;
                ++runs->lines;
                continue;
            }
            if (!appendChar(runs, line, colour, segment[k])) {
                full = true;
                break;
            }
        }
    }
    return needed;
}

int layoutRuns(Runs* runs, int areaWidth, int justification) {
    int longest = 0;
    int first = 0;
    while (first < runs->count) {
        const int line = runs->runs[first].line;
        int end = first;
        int64_t width = 0;
        while (end < runs->count && runs->runs[end].line == line) {
            width += runs->runs[end].width;
            ++end;
        }
        const int lineWidth = width > 0x3FFFFFFF ? 0x3FFFFFFF : static_cast<int>(width);
        int x = 0;
        if (justification & 1) {
            x = (areaWidth - lineWidth) / 2;
        } else if (justification & 2) {
            x = areaWidth - lineWidth;
        }
        for (int i = first; i < end; ++i) {
            runs->runs[i].x = x;
            x += runs->runs[i].width;
        }
        longest = lineWidth > longest ? lineWidth : longest;
        first = end;
    }
    return longest;
}

int meterFill(double value, double scale, bool read, int inner) {
    if (!read || inner <= 0 || !(scale > 0.0) || !(value > 0.0)) {
        return 0;
    }
    const double share = value >= scale ? 1.0 : value / scale;
    return static_cast<int>(share * inner + 0.5);
}

int columnHeight(float reading, double scale, int inner) {
    if (std::isnan(reading) || inner <= 0) {
        return -1;
    }
    const double share = !(scale > 0.0) || reading <= 0.0f ? 0.0
                         : reading >= scale                  ? 1.0
                                                             : reading / scale;
    const int height = static_cast<int>(share * inner + 0.5);
    return height < 1 ? 1 : height;
}
