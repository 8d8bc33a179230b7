#include <cstring>

#include "display/placement.h"
#include "display/render.h"
#include "display/runs.h"
#include "display/tooltip.h"
#include "format/format.h"
#include "format/history.h"
#include "host/frame.h"

namespace {

// One run of text at its place; the caller clips to the text rectangle.
constexpr UINT kRunFormat = DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS | DT_NOCLIP;

int textWidth(HDC dc, const char* text, int length) {
    if (std::memchr(text, '\t', static_cast<size_t>(length)) != nullptr) {
        RECT measured = {0, 0, 0, 0};
        DrawTextA(dc, text, length, &measured, kRunFormat | DT_CALCRECT);
        return measured.right;
    }
    SIZE extent = {0, 0};
    GetTextExtentPoint32A(dc, text, length, &extent);
    return extent.cx;
}

// An outline and one column per reading, newest at the right, in one
// call with the DC pen. The outline comes first: it is the graph's box.
void drawGraph(HDC dc, const RECT& box, const Run& run) {
    constexpr int kMostColumns = graphColumns(kMaxFormWidth);
    static POINT points[5 + 2 * kMostColumns];
    static DWORD counts[1 + kMostColumns];
    const LONG right = box.right - 1;
    const LONG bottom = box.bottom - 1;
    points[0] = {box.left, box.top};
    points[1] = {right, box.top};
    points[2] = {right, bottom};
    points[3] = {box.left, bottom};
    points[4] = {box.left, box.top};
    counts[0] = 5;
    int used = 5;
    DWORD lines = 1;
    const int inner = box.bottom - box.top - 2 * kFormBorder;
    const int columns = graphColumns(run.width);
    const double scale = graphScale(run.segment);
    const LONG base = bottom - kFormBorder;  // the lowest row inside the outline
    for (int age = 0; age < columns && age < kMostColumns; ++age) {
        const int height = columnHeight(graphReading(run.segment, age), scale, inner);
        if (height < 0) {
            continue;
        }
        const LONG x = right - kFormBorder - age;
        points[used++] = {x, base};
        points[used++] = {x, base - height};  // the end point is not drawn
        counts[lines++] = 2;
    }
    SetDCPenColor(dc, run.colour);
    PolyPolyline(dc, points, counts, lines);
}

// An outline, filled from the left to the token's number.
void drawMeter(HDC dc, const RECT& box, const Run& run) {
    HBRUSH brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    SetDCBrushColor(dc, run.colour);
    FrameRect(dc, &box, brush);
    const SegmentValue v = segmentValue(run.segment);
    const int inner = box.right - box.left - 2 * kFormBorder;
    const int fill = meterFill(v.value, meterScale(run.segment), v.read, inner);
    if (fill > 0) {
        const RECT filled = {box.left + kFormBorder, box.top + kFormBorder,
                             box.left + kFormBorder + fill, box.bottom - kFormBorder};
        FillRect(dc, &filled, brush);
    }
}

// The line as runs in `area`, each line as tall as the font's; the DC's
// text colour is `textColour`. Returns whether auto-resize asks for a
// size, in *width and *height.
bool paintRuns(HDC dc, const RECT& area, COLORREF textColour, Runs* runs, int* width,
               int* height) {
    TEXTMETRICA metrics;
    const int lineHeight = GetTextMetricsA(dc, &metrics) ? metrics.tmHeight : 0;
    for (int i = 0; i < runs->count; ++i) {
        Run& run = runs->runs[i];
        if (run.kind == RunKind::Text) {
            run.width = textWidth(dc, runs->text + run.offset, run.length);
        }
    }
    const int longest = layoutRuns(runs, area.right - area.left, settings.justification);
    const bool measured =
        autoResizeTarget(settings.autoResize, longest, lineHeight, runs->lines, width, height);

    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    SelectObject(dc, GetStockObject(DC_PEN));
    // One line sits in the middle, as a single line of text does; more
    // start at the top.
    const int firstTop = formatEngine.multiLine
                             ? area.top
                             : area.top + (area.bottom - area.top - lineHeight) / 2;
    for (int i = 0; i < runs->count; ++i) {
        const Run& run = runs->runs[i];
        const LONG left = area.left + run.x;
        const LONG top = firstTop + run.line * lineHeight;
        const RECT box = {left, top, left + run.width, top + lineHeight};
        switch (run.kind) {
            case RunKind::Text: {
                if (run.colour != textColour) {
                    SetTextColor(dc, run.colour);
                    textColour = run.colour;
                }
                RECT place = box;
                DrawTextA(dc, runs->text + run.offset, run.length, &place, kRunFormat);
                break;
            }
            case RunKind::Graph:
                drawGraph(dc, box, run);
                break;
            case RunKind::Meter:
                drawMeter(dc, box, run);
                break;
        }
    }
    return measured;
}

}  // namespace

void paintWindow(HWND window) {
    PAINTSTRUCT paint;
    HDC windowDc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);

    // Everything is drawn off screen and copied once, so the once-a-second
    // repaint does not flicker.
    HDC memoryDc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, client.right - client.left,
                                            client.bottom - client.top);
    HGDIOBJ oldBitmap = SelectObject(memoryDc, bitmap);

    RECT gradient = client;  // the shell gets its own copy to scribble on
    MakeStyleGradient(memoryDc, &gradient, &render.style, settings.showBorder);

    RECT textRect = client;
    InflateRect(&textRect, -render.textInset, -render.textInset);

    PaintFont paintFont;
    choosePaintFont(&paintFont);
    HFONT font = CreateFontA(paintFont.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, 0, 0, 0, 0, paintFont.face);
    HGDIOBJ oldFont = SelectObject(memoryDc, font);
    SetTextColor(memoryDc, paintFont.color);
    SetBkMode(memoryDc, TRANSPARENT);

    const char* text = formatEngine.displayText;
    updateTooltip(textRect, text);

    int newWidth = 0;
    int newHeight = 0;
    bool measured = false;
    // About 10 KB: kept off the shell's stack. Painting is on its thread only.
    static Runs runs;
    if (buildRuns(paintFont.color, settings.warningColor, &runs)) {
        measured = paintRuns(memoryDc, textRect, paintFont.color, &runs, &newWidth, &newHeight);
    } else {
        if (settings.autoResize >= 1 && settings.autoResize <= 3) {
            int longest = 0;
            int lines = 0;
            const char* line = measureLines(text, &longest, &lines);
            SIZE extent = {0, 0};
            GetTextExtentPoint32A(memoryDc, line, longest, &extent);
            measured = autoResizeTarget(settings.autoResize, extent.cx, extent.cy, lines,
                                        &newWidth, &newHeight);
        }
        DrawTextA(memoryDc, text, static_cast<int>(std::strlen(text)), &textRect,
                  textDrawFormat(settings.justification, formatEngine.multiLine));
    }

    BitBlt(windowDc, 0, 0, settings.width, settings.height, memoryDc, 0, 0, SRCCOPY);

    SelectObject(memoryDc, oldFont);
    DeleteObject(font);
    SelectObject(memoryDc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    EndPaint(window, &paint);

    if (measured && resizeWindow(newWidth, newHeight)) {
        InvalidateRect(window, nullptr, TRUE);
    }
}

void issueWindowSize() {
    if (settings.inSlit) {
        SetWindowPos(frame.window, nullptr, 0, 0, settings.width, settings.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (frame.slitWindow) {
            SendMessageA(frame.slitWindow, SLIT_UPDATE, 0, 0);
        }
        return;
    }
    POINT at = {settings.x, settings.y};
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (hidden) {
        // Stay tucked away at the new size rather than popping out on
        // every text change; a window the new size leaves off the edge
        // is simply shown. No snapping, which would pull it back on screen.
        hidden = edgeHidePosition(nullptr);
        edgeHidePosition(&at);
        flags |= SWP_NOSENDCHANGING;
    }
    SetWindowPos(frame.window, nullptr, at.x, at.y, settings.width, settings.height, flags);
}
